#include "dialogs/print_surface.h"

#include <cmath>

#include <QFile>
#include <QFontMetricsF>
#include <QLocale>
#include <QPrinter>

#include "dialogs/dialog_support.h"
#include "model/channel_record.h"
#include "text/text_ids.h"

namespace zrk6 {

PainterPrintSurface::PainterPrintSurface(QPrinter &printer) : printer_(printer)
{
    // Latin text in DejaVu Sans; Chinese falls back to the CJK font the set-up installs.
    font_.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei"),
                       QStringLiteral("Noto Sans CJK SC")});
    font_.setPointSizeF(10);
    // Any letter spacing turns ligatures off, so "Off" stays three letters for readers
    // that copy or search the text; 1/50 of a device pixel is invisible.
    font_.setLetterSpacing(QFont::AbsoluteSpacing, 0.02);
}

PainterPrintSurface::~PainterPrintSurface()
{
    if (painter_.isActive())
        painter_.end();
}

bool PainterPrintSurface::begin()
{
    if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
        // QPainter only says that it failed; opening the file first gives the reason.
        QFile file(printer_.outputFileName());
        if (!file.open(QIODevice::WriteOnly)) {
            error_ = file.errorString() + QStringLiteral(": ") + printer_.outputFileName();
            return false;
        }
    }
    if (!painter_.begin(&printer_)) {
        error_ = QStringLiteral("The printer \"%1\" could not be started.").arg(printer_.printerName());
        return false;
    }
    painter_.setFont(font_);
    page_ = 1;
    return true;
}

double PainterPrintSurface::pageWidth() const
{
    return printer_.width();
}

double PainterPrintSurface::pageHeight() const
{
    return printer_.height();
}

void PainterPrintSurface::setBold(bool bold)
{
    font_.setBold(bold);
    painter_.setFont(font_);
}

void PainterPrintSurface::setPointSize(double points)
{
    font_.setPointSizeF(points);
    painter_.setFont(font_);
}

double PainterPrintSurface::textWidth(const QString &text) const
{
    return QFontMetricsF(font_, &printer_).horizontalAdvance(text);
}

void PainterPrintSurface::printTextAt(int x, int y, const QString &text)
{
    painter_.drawText(QPointF(x, y + QFontMetricsF(font_, &printer_).ascent()), text);
}

bool PainterPrintSurface::newPage()
{
    if (!printer_.newPage()) {
        error_ = QStringLiteral("The printer could not start a new page.");
        return false;
    }
    ++page_;
    return true;
}

bool PainterPrintSurface::endJob()
{
    const bool ended = painter_.end();
    if (!ended || printer_.printerState() == QPrinter::Error) {
        error_ = QStringLiteral("The printer reported an error; the print may be incomplete.");
        return false;
    }
    return true;
}

int RoundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value)); // the default rounding mode is to nearest, ties to even
}

PageLayout PageLayout::ForPage(double width, double height)
{
    PageLayout layout;
    layout.leftMargin = RoundHalfEven(width * 0.2 / 2);
    layout.columnUnit = RoundHalfEven(width * 0.9 / 130);
    layout.topMargin = RoundHalfEven(height * 0.1 / 2);
    layout.lineHeight = RoundHalfEven(height * 0.9 / 60);
    return layout;
}

namespace {

constexpr int kChannelsPerPage = 9;
const QString kNoTxPart = QStringLiteral("---------");

class ListPrinter {
public:
    ListPrinter(PrintSurface &surface, const PrintJob &job)
        : s_(surface), job_(job), layout_(PageLayout::ForPage(surface.pageWidth(), surface.pageHeight()))
    {
    }

    void pageHeader()
    {
        const double w = s_.pageWidth();
        s_.setBold(true);
        s_.setPointSize(16);
        const QString title = text(text_id::kPrintHeading);
        s_.printTextAt(RoundHalfEven(w / 2 - s_.textWidth(title) / 2), layout_.line(0), title);
        s_.setPointSize(11);
        const QLocale locale;
        const QString stamp = locale.toString(job_.printedAt.date(), QLocale::ShortFormat) + QStringLiteral("  ") +
                              locale.toString(job_.printedAt.time(), QLocale::ShortFormat);
        s_.printTextAt(RoundHalfEven(w * 0.9 - s_.textWidth(stamp)), layout_.line(2), stamp);
        at(4, 4, text(text_id::kModelType));
        at(30, 4, ProductName());
        at(4, 5, text(text_id::kFrequency));
        at(30, 5, job_.bandText);
        at(4, 6, text(text_id::kFileName));
        at(30, 6, job_.documentName);
        s_.setBold(false);
        s_.setPointSize(10);
    }

    void pageNumber()
    {
        const QString number = QStringLiteral("- %1 -").arg(s_.pageNumber());
        s_.printTextAt(RoundHalfEven(s_.pageWidth() / 2 - s_.textWidth(number) / 2),
                       RoundHalfEven(s_.pageHeight() * 0.95), number);
    }

    void channelBlock(int k, int channel, const RowTexts &row)
    {
        const auto cell = [&row](ChannelColumn c) { return QString::fromStdString(row[static_cast<std::size_t>(c)]); };
        const auto orNone = [](const QString &t) { return t.isEmpty() ? kNoTxPart : t; };
        const int first = 6 * k + 11;
        at(0, first, text(text_id::kChannel) + QLatin1Char(' ') + QString::number(channel));
        at(6, first + 1, text(text_id::kRxFreq));
        at(35, first + 1, cell(ChannelColumn::RxFreq));
        at(70, first + 1, text(text_id::kTxFreq));
        at(105, first + 1, orNone(cell(ChannelColumn::TxFreq)));
        at(6, first + 2, text(text_id::kDecode));
        at(35, first + 2, cell(ChannelColumn::Decode));
        at(70, first + 2, text(text_id::kEncode));
        at(105, first + 2, orNone(cell(ChannelColumn::Encode)));
        at(6, first + 3, text(text_id::kTxPower));
        at(35, first + 3, cell(ChannelColumn::TxPower));
        at(70, first + 3, text(text_id::kScan));
        at(105, first + 3, cell(ChannelColumn::Scan));
    }

    void at(int column, int line, const QString &t) { s_.printTextAt(layout_.column(column), layout_.line(line), t); }
    QString text(int id) const { return Text(id, job_.language); }

private:
    PrintSurface &s_;
    const PrintJob &job_;
    PageLayout layout_;
};

} // namespace

bool PrintChannelList(PrintSurface &surface, const MemoryImage &image, const Band &band, const PrintJob &job)
{
    ListPrinter p(surface, job);
    if (job.channels) {
        QList<int> listed;
        for (int n = std::max(job.from, 1); n <= std::min(job.to, 128); ++n) {
            if (image.at(ChannelRow(n) * kRowSize) != 0xFF)
                listed << n;
        }
        const qsizetype pages = listed.isEmpty() ? 1 : (listed.size() + kChannelsPerPage - 1) / kChannelsPerPage;
        for (qsizetype page = 0; page < pages; ++page) {
            p.pageHeader();
            p.at(0, 9, p.text(text_id::kMemoryChannel));
            for (int k = 0; k < kChannelsPerPage; ++k) {
                const qsizetype i = page * kChannelsPerPage + k;
                if (i >= listed.size())
                    break;
                const int n = listed[i];
                p.channelBlock(k, n, ChannelRowTexts(image, n, band, job.language));
            }
            p.pageNumber();
            if (page + 1 < pages && !surface.newPage())
                return false;
        }
    }
    if (job.features) {
        if (job.channels && !surface.newPage())
            return false;
        p.pageHeader();
        p.at(0, 9, p.text(text_id::kOptionalFeatures));
        for (qsizetype i = 0; i < job.featureLines.size(); ++i) {
            const int line = 11 + static_cast<int>(i);
            p.at(6, line, job.featureLines[i].label);
            p.at(40, line, job.featureLines[i].value);
        }
        p.pageNumber();
    }
    return surface.endJob();
}

} // namespace zrk6
