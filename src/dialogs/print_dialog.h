#pragma once

#include <functional>
#include <memory>

#include <QDialog>
#include <QPrinter>

#include "dialogs/print_surface.h"
#include "document/image_document.h"
#include "model/app_state.h"
#include "ui/prompts.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zrk6 {

// The optional features page's lines: the features of the image as their lists show them.
QList<FeatureLine> OptionalFeatureLines(const MemoryImage &image, const Band &band, LanguageMode language);

// The printer chosen for one job: a started surface, or the reason it could not start.
// Both empty means the user cancelled.
struct ChosenSurface {
    std::shared_ptr<PrintSurface> surface;
    QString error;
};

// frmPrint: chooses the channel range and the optional features page, then prints them as
// one job. OK asks for the printer (QPrintDialog, also to a PDF file); Preview shows the
// pages first; Setup sets the page up for later jobs.
class PrintDialog final : public QDialog {
    Q_OBJECT
public:
    // printer keeps the page setup and the chosen printer between openings; without one the
    // dialog uses its own for as long as it is open.
    PrintDialog(const AppState &state, const ImageDocument &document, Prompts &prompts, QWidget *parent = nullptr,
                QPrinter *printer = nullptr);

    using SurfaceChooser = std::function<ChosenSurface(QWidget *parent, QPrinter &printer)>;
    // Replaces the print dialog step (tests print to a recording surface or a PDF file).
    void setSurfaceChooser(SurfaceChooser chooser) { chooser_ = std::move(chooser); }

    // What OK prints with the settings as they stand.
    PrintJob job() const;
    QPrinter &printer() { return *printer_; }

public slots:
    void accept() override;
    void selectAll();
    void clearAll();
    void setup();
    void preview();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setRangeEnabled(bool enabled);
    void validateFrom();
    void validateTo();
    bool itemsChosen();
    void validateFocusedRange();
    static ChosenSurface ChooseWithDialog(QWidget *parent, QPrinter &printer);

    const AppState &state_;
    const ImageDocument &document_;
    Prompts &prompts_;
    QString bandText_;
    std::unique_ptr<QPrinter> ownPrinter_;
    QPrinter *printer_ = nullptr;
    SurfaceChooser chooser_;

    QCheckBox *channelsCheck_ = nullptr;
    QCheckBox *featuresCheck_ = nullptr;
    QLabel *fromLabel_ = nullptr;
    QLabel *toLabel_ = nullptr;
    QLineEdit *fromEdit_ = nullptr;
    QLineEdit *toEdit_ = nullptr;
    QPushButton *selectAllButton_ = nullptr;
    QPushButton *clearAllButton_ = nullptr;
    QPushButton *pageSetupButton_ = nullptr;
    QPushButton *previewButton_ = nullptr;
    QPushButton *okButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
};

} // namespace zrk6
