#pragma once

#include <vector>

#include <QString>

namespace zrk6 {

struct AppState;
struct ChannelListImport;
class ImageDocument;
class MainViews;
class Prompts;

// Channel lists in the window: Import Channels... and Export Channels... (CSV files), and
// grid rows copied and pasted as tab-separated text with the header line.
class ChannelListCommands {
public:
    ChannelListCommands(AppState &state, ImageDocument &document, Prompts &prompts, MainViews &views);

    // Asks for a CSV file and imports its channels into the document as one undo step, then
    // shows the report. A refused file, or one of which no row fits, changes nothing.
    void importChannels();
    // Asks for a file name and writes the channels in use there.
    void exportChannels();

    // The channels (those in use) as tab-separated text with the header line.
    QString copyText(const std::vector<int> &channels) const;
    // Fills the channels from firstChannel on with the rows of tab-separated text (or of CSV
    // text, when the first line holds no tab), as one undo step, then shows the report.
    void paste(int firstChannel, const QString &text);

    // The CSV file dialog filter in the current language, in Qt's form.
    QString fileFilter() const;

private:
    // Applies what fits as one step named by stepTextId and reports; a refusal is a message.
    void applyAndReport(const ChannelListImport &import, int stepTextId);

    AppState &state_;
    ImageDocument &document_;
    Prompts &prompts_;
    MainViews &views_;
};

} // namespace zrk6
