#pragma once

#include <QList>
#include <QString>

#include "dialogs/print_surface.h"

namespace zrk6::test {

// A print surface that keeps every text with its page, position and font; text widths
// are ten units a character, so positions are predictable.
class RecordingSurface final : public PrintSurface {
public:
    struct Text {
        int page;
        int x;
        int y;
        QString text;
        bool bold;
        double points;
    };

    double width = 4800;
    double height = 6600;
    int failNewPageAt = 0; // the page number whose newPage() fails, 0 for never
    bool ended = false;
    QList<Text> texts;

    double pageWidth() const override { return width; }
    double pageHeight() const override { return height; }
    void setBold(bool bold) override { bold_ = bold; }
    void setPointSize(double points) override { points_ = points; }
    double textWidth(const QString &text) const override { return 10.0 * text.size(); }
    void printTextAt(int x, int y, const QString &text) override { texts.append({page_, x, y, text, bold_, points_}); }
    int pageNumber() const override { return page_; }
    bool newPage() override
    {
        if (failNewPageAt == page_)
            return false;
        ++page_;
        return true;
    }
    bool endJob() override
    {
        ended = true;
        return true;
    }
    QString errorText() const override { return failNewPageAt ? QStringLiteral("Paper jam") : QString(); }

    int pages() const { return page_; }
    // The texts of one page, in print order.
    QStringList onPage(int page) const
    {
        QStringList list;
        for (const Text &t : texts)
            if (t.page == page)
                list << t.text;
        return list;
    }
    // The first text equal to s, or null.
    const Text *find(const QString &s, int page = 0) const
    {
        for (const Text &t : texts)
            if (t.text == s && (page == 0 || t.page == page))
                return &t;
        return nullptr;
    }

private:
    int page_ = 1;
    bool bold_ = false;
    double points_ = 10;
};

} // namespace zrk6::test
