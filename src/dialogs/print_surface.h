#pragma once

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QPainter>
#include <QString>

#include "model/band.h"
#include "model/memory_image.h"
#include "text/text_table.h"

class QPrinter;

namespace zrk6 {

// What the channel list needs from a printer. Positions and sizes are in the device's own
// units; (x, y) is the top-left corner of the printed text.
class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    virtual double pageWidth() const = 0;  // W
    virtual double pageHeight() const = 0; // H
    virtual void setBold(bool bold) = 0;
    virtual void setPointSize(double points) = 0;
    virtual double textWidth(const QString &text) const = 0;
    virtual void printTextAt(int x, int y, const QString &text) = 0;
    virtual int pageNumber() const = 0; // 1 for the first page of the job
    // Both return false when the printer failed; errorText() then says why.
    virtual bool newPage() = 0;
    virtual bool endJob() = 0;
    virtual QString errorText() const { return {}; }
};

// A PrintSurface on a QPrinter (a real printer, a PDF file or a print preview).
class PainterPrintSurface final : public PrintSurface {
public:
    explicit PainterPrintSurface(QPrinter &printer);
    ~PainterPrintSurface() override;

    // Starts the job; false (with errorText) when the printer or the output file cannot be opened.
    bool begin();

    double pageWidth() const override;
    double pageHeight() const override;
    void setBold(bool bold) override;
    void setPointSize(double points) override;
    double textWidth(const QString &text) const override;
    void printTextAt(int x, int y, const QString &text) override;
    int pageNumber() const override { return page_; }
    bool newPage() override;
    bool endJob() override;
    QString errorText() const override { return error_; }

private:
    QPrinter &printer_;
    QPainter painter_;
    QFont font_;
    int page_ = 1;
    QString error_;
};

// Rounds to the nearest integer, an exact half to the even one.
int RoundHalfEven(double value);

// The four layout quantities of a page of width W and height H.
struct PageLayout {
    int leftMargin = 0;
    int columnUnit = 0;
    int topMargin = 0;
    int lineHeight = 0;

    static PageLayout ForPage(double width, double height);
    int line(int n) const { return topMargin + n * lineHeight; }
    int column(int c) const { return leftMargin + c * columnUnit; }
};

// One line of the optional features page.
struct FeatureLine {
    QString label;
    QString value;
};

// What to print and the page header's facts.
struct PrintJob {
    LanguageMode language = kEnglish;
    QString bandText;
    QString documentName;
    QDateTime printedAt;
    bool channels = false;
    int from = 1;
    int to = 128;
    bool features = false;
    QList<FeatureLine> featureLines; // used when features is set
};

// Prints the channel pages (nine channels a page, from the channels in use in the range)
// and then the optional features page, each with the page header and number, and ends
// the job. Returns false as soon as the surface reports a failure.
bool PrintChannelList(PrintSurface &surface, const MemoryImage &image, const Band &band, const PrintJob &job);

} // namespace zrk6
