#include "document/image_document.h"

#include <QUndoCommand>

#include "model/image_diff.h"

namespace zrk6 {

// One undo step: the document's state before and after (a 4 KiB image each).
class ImageCommand final : public QUndoCommand {
public:
    ImageCommand(ImageDocument &document, ImageDocument::StepName name, ImageDocument::State before,
                 ImageDocument::State after)
        : QUndoCommand(name(document.language_)), document_(document), name_(std::move(name)),
          before_(std::move(before)), after_(std::move(after))
    {
    }

    void undo() override { document_.setState(before_); }
    void redo() override { document_.setState(after_); }
    // After a save under another name every step keeps to that name: undo or redo must
    // not take the document back to a file that does not hold what it shows.
    void rename(const std::string &fileName)
    {
        before_.fileName = fileName;
        after_.fileName = fileName;
    }

    void nameIn(LanguageMode language) { setText(name_(language)); }

private:
    ImageDocument &document_;
    ImageDocument::StepName name_;
    ImageDocument::State before_;
    ImageDocument::State after_;
};

ImageDocument::ImageDocument(QObject *parent) : QObject(parent)
{
    connect(&undoStack_, &QUndoStack::cleanChanged, this, [this](bool clean) { emit modifiedChanged(!clean); });
}

ImageDocument::~ImageDocument()
{
    // The commands refer back to the document; they go while it is still whole.
    undoStack_.blockSignals(true);
    undoStack_.clear();
}

void ImageDocument::setLanguage(LanguageMode language)
{
    language_ = language;
    for (int i = 0; i < undoStack_.count(); ++i)
        static_cast<ImageCommand *>(const_cast<QUndoCommand *>(undoStack_.command(i)))->nameIn(language);
}

bool ImageDocument::apply(const QString &name, const Edit &edit)
{
    return apply([name](LanguageMode) { return name; }, edit);
}

bool ImageDocument::apply(const StepName &name, const Edit &edit)
{
    State after = state();
    edit(after.image);
    if (after.image == image_)
        return false;
    undoStack_.push(new ImageCommand(*this, name, state(), std::move(after)));
    return true;
}

void ImageDocument::changeBand(const StepName &name, const MemoryImage &image, const Band &band,
                               const std::string &fileName)
{
    undoStack_.push(new ImageCommand(*this, name, state(), State{image, band, fileName}));
}

void ImageDocument::replace(const MemoryImage &image, const Band &band, const std::string &fileName)
{
    const bool nameChanged = fileName != fileName_;
    image_ = image;
    band_ = band;
    fileName_ = fileName;
    undoStack_.clear(); // also makes the stack clean
    emit replaced();
    if (nameChanged)
        emit fileNameChanged(QString::fromStdString(fileName_));
}

void ImageDocument::replaceUndoably(const StepName &name, const MemoryImage &image, const Band &band,
                                    const std::string &fileName)
{
    State after{image, band, fileName};
    if (!(after.image == image_ && after.band == band_ && after.fileName == fileName_))
        undoStack_.push(new ImageCommand(*this, name, state(), std::move(after)));
    undoStack_.setClean();
    emit replaced();
}

void ImageDocument::markSaved(const std::string &fileName)
{
    if (fileName != fileName_) {
        fileName_ = fileName;
        for (int i = 0; i < undoStack_.count(); ++i)
            static_cast<ImageCommand *>(const_cast<QUndoCommand *>(undoStack_.command(i)))->rename(fileName);
        emit fileNameChanged(QString::fromStdString(fileName_));
    }
    undoStack_.setClean();
}

void ImageDocument::setState(const State &state)
{
    const std::vector<AddressRange> ranges = ChangedRanges(image_, state.image);
    const bool bandDiffers = !(state.band == band_);
    const bool nameDiffers = state.fileName != fileName_;
    image_ = state.image;
    band_ = state.band;
    fileName_ = state.fileName;
    if (!ranges.empty())
        emit imageChanged(ranges);
    if (bandDiffers)
        emit bandChanged();
    if (nameDiffers)
        emit fileNameChanged(QString::fromStdString(fileName_));
}

} // namespace zrk6
