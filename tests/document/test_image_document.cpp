// ImageDocument: one undo step per apply, the saved state, and what it signals.
#include <QSignalSpy>
#include <QtTest>

#include <stdexcept>

#include "document/image_document.h"

using namespace zrk6;

namespace {

MemoryImage Filled(std::uint8_t value)
{
    MemoryImage image;
    image.fill(value);
    return image;
}

} // namespace

class TestImageDocument : public QObject {
    Q_OBJECT

private slots:
    void applyIsOneStepWithTheChangedRanges()
    {
        ImageDocument doc;
        doc.replace(Filled(0xFF), Band{}, std::string(kUntitled));
        QSignalSpy changed(&doc, &ImageDocument::imageChanged);
        QSignalSpy modified(&doc, &ImageDocument::modifiedChanged);

        QVERIFY(doc.apply(QStringLiteral("two bytes"), [](MemoryImage &image) {
            image.set(0x10, 1);
            image.set(0x11, 2);
            image.set(0x800, 3);
        }));
        QCOMPARE(doc.undoStack().count(), 1);
        QCOMPARE(doc.undoStack().undoText(), QStringLiteral("two bytes"));
        QCOMPARE(changed.size(), 1);
        const auto ranges = changed.at(0).at(0).value<std::vector<AddressRange>>();
        QCOMPARE(ranges.size(), std::size_t(2));
        QCOMPARE(ranges[0], (AddressRange{0x10, 0x12}));
        QCOMPARE(ranges[1], (AddressRange{0x800, 0x801}));
        QCOMPARE(modified.size(), 1);
        QVERIFY(doc.isModified());

        doc.undoStack().undo();
        QVERIFY(doc.image() == Filled(0xFF));
        QVERIFY(!doc.isModified());
        QCOMPARE(changed.size(), 2);
    }

    void nothingChangedIsNoStepAndAFailedEditChangesNothing()
    {
        ImageDocument doc;
        doc.replace(Filled(0xFF), Band{}, std::string(kUntitled));
        QVERIFY(!doc.apply(QStringLiteral("same"), [](MemoryImage &image) { image.set(0, 0xFF); }));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, doc.apply(QStringLiteral("bad"), [](MemoryImage &image) {
            image.set(0, 1);
            image.set(kImageSize, 1);
        }));
        QCOMPARE(doc.undoStack().count(), 0);
        QVERIFY(doc.image() == Filled(0xFF));
        QVERIFY(!doc.isModified());
    }

    void replaceClearsTheHistoryAndMarkSavedMovesTheCleanState()
    {
        ImageDocument doc;
        QSignalSpy replaced(&doc, &ImageDocument::replaced);
        QSignalSpy named(&doc, &ImageDocument::fileNameChanged);
        doc.apply(QStringLiteral("edit"), [](MemoryImage &image) { image.set(1, 1); });
        doc.replace(Filled(0x00), BandFromRow(kBand446), "/tmp/a.dat");
        QCOMPARE(replaced.size(), 1);
        QCOMPARE(named.size(), 1);
        QVERIFY(!doc.undoStack().canUndo());
        QVERIFY(!doc.isModified());
        QCOMPARE(doc.band(), BandFromRow(kBand446));

        doc.apply(QStringLiteral("edit"), [](MemoryImage &image) { image.set(1, 1); });
        doc.markSaved("/tmp/b.dat");
        QVERIFY(!doc.isModified());
        QCOMPARE(doc.fileName(), std::string("/tmp/b.dat"));
        doc.undoStack().undo();
        QVERIFY(doc.isModified()); // the saved file holds the edit
    }

    void undoAndRedoAfterSaveAsKeepTheSavedName()
    {
        // Undo then redo back to the state saved under another name: the document is
        // clean only under the name it was saved as, and Save must go to that file.
        ImageDocument doc;
        doc.replace(Filled(0x00), Band{}, "/tmp/a.dat");
        doc.apply(QStringLiteral("edit"), [](MemoryImage &image) { image.set(1, 1); });
        doc.markSaved("/tmp/b.dat");
        doc.undoStack().undo();
        QCOMPARE(doc.fileName(), std::string("/tmp/b.dat"));
        QVERIFY(doc.isModified());
        doc.undoStack().redo();
        QVERIFY(!doc.isModified());
        QCOMPARE(doc.fileName(), std::string("/tmp/b.dat"));

        // The same after a band change (which makes the document Untitled) saved as c.dat.
        doc.changeBand(QStringLiteral("band"), Filled(0x22), BandFromRow(kBand446), std::string(kUntitled));
        doc.markSaved("/tmp/c.dat");
        doc.undoStack().undo();
        doc.undoStack().redo();
        QVERIFY(!doc.isModified());
        QCOMPARE(doc.fileName(), std::string("/tmp/c.dat"));
    }

    void aBandChangeBringsBackBandAndNameOnUndo()
    {
        ImageDocument doc;
        doc.replace(Filled(0x11), Band{}, "/tmp/a.dat");
        QSignalSpy band(&doc, &ImageDocument::bandChanged);
        doc.changeBand(QStringLiteral("band"), Filled(0x22), BandFromRow(kBand446), std::string(kUntitled));
        QCOMPARE(band.size(), 1);
        QVERIFY(doc.isUntitled());
        doc.undoStack().undo();
        QCOMPARE(band.size(), 2);
        QCOMPARE(doc.band(), Band{});
        QCOMPARE(doc.fileName(), std::string("/tmp/a.dat"));
        QVERIFY(doc.image() == Filled(0x11));
    }
};

QTEST_GUILESS_MAIN(TestImageDocument)
#include "test_image_document.moc"
