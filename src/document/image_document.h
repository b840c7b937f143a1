#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QObject>
#include <QString>
#include <QUndoStack>

#include "model/band.h"
#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

inline constexpr std::string_view kUntitled = "Untitled";

// The document: the memory image, its band and its file name, and the undo stack that
// holds every change the user made since it was created, opened or read. It is the only
// writer of the image: views read image() and listen to the signals, and every edit is one
// undoable command made with apply().
class ImageDocument : public QObject {
    Q_OBJECT

public:
    explicit ImageDocument(QObject *parent = nullptr);
    ~ImageDocument() override;

    const MemoryImage &image() const { return image_; }
    const Band &band() const { return band_; }
    // The data file's full path, or "Untitled".
    const std::string &fileName() const { return fileName_; }
    bool isUntitled() const { return fileName_ == kUntitled; }
    // True when the document is not in the state it was created, opened, read or saved in.
    bool isModified() const { return !undoStack_.isClean(); }
    QUndoStack &undoStack() { return undoStack_; }

    using Edit = std::function<void(MemoryImage &)>;
    // An undo step's name in a language: the steps are named anew when the language changes.
    using StepName = std::function<QString(LanguageMode)>;

    // The language the steps are named in; setting it names every step on the stack anew.
    void setLanguage(LanguageMode language);

    // One user action: edit changes a copy of the image, and when the copy differs the
    // change is pushed as one undo step called name. Returns whether the image changed.
    // An exception from edit leaves the document as it was.
    bool apply(const StepName &name, const Edit &edit);
    // A step whose name is the same in every language.
    bool apply(const QString &name, const Edit &edit);
    // A band change: the image becomes image and the band band, the file name fileName, as
    // one undo step (undo brings back the image, band and file name before).
    void changeBand(const StepName &name, const MemoryImage &image, const Band &band, const std::string &fileName);
    void changeBand(const QString &name, const MemoryImage &image, const Band &band, const std::string &fileName)
    {
        changeBand([name](LanguageMode) { return name; }, image, band, fileName);
    }
    // Open: a new image, band and file name; the undo history is cleared and the document
    // counts as unmodified.
    void replace(const MemoryImage &image, const Band &band, const std::string &fileName);
    // Replaces the whole document as one undo step named name (Read, New), so the edits it
    // replaces can be brought back; afterwards the document counts as unmodified.
    void replaceUndoably(const StepName &name, const MemoryImage &image, const Band &band, const std::string &fileName);
    // Save, Save As: the document was stored under fileName, so it is unmodified now.
    void markSaved(const std::string &fileName);

    // What one undo step holds: the whole state before or after it.
    struct State {
        MemoryImage image;
        Band band;
        std::string fileName;
    };

signals:
    // Bytes of the image changed (an edit, its undo or redo); ranges in address order.
    void imageChanged(const std::vector<AddressRange> &ranges);
    // The band changed by a command or its undo (the image changed as well).
    void bandChanged();
    // New, Open or Read replaced the whole document.
    void replaced();
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString &fileName);

private:
    friend class ImageCommand;
    void setState(const State &state);
    State state() const { return {image_, band_, fileName_}; }

    MemoryImage image_;
    Band band_;
    std::string fileName_{kUntitled};
    LanguageMode language_ = kEnglish;
    QUndoStack undoStack_;
};

} // namespace zrk6
