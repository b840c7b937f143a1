#pragma once

#include <QString>

namespace zrk6 {

struct AppState;
class ImageDocument;
class MainViews;
class Prompts;

// The File commands New, Open, Save and Save As on the document.
class FileCommands {
public:
    FileCommands(AppState &state, ImageDocument &document, Prompts &prompts, MainViews &views);

    // Asks 1107, then rebuilds the default image of the current band as an untitled document.
    void newDocument();
    // Offers to save unsaved changes (1110), then opens a data file (or a text form, *.yaml):
    // path, or the one the user picks when path is empty. A save that fails or is cancelled ends the command, so
    // no change is lost. True when the file was opened.
    bool openDataFile(const QString &path = {});
    // Commits an open cell entry, then saves to the document's file, or asks for one when
    // it is untitled. True when saved.
    bool save();
    // Commits an open cell entry, asks for a file name and saves there, as a text form when the
    // name ends in .yaml. True when saved.
    bool saveAs();

    // The file dialog filter in the current language, in Qt's form.
    QString fileFilter() const;

private:
    bool writeDataFile(const QString &path);

    AppState &state_;
    ImageDocument &document_;
    Prompts &prompts_;
    MainViews &views_;
};

} // namespace zrk6
