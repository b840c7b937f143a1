// The window as a desktop program: a file given at start-up, recent files, a grid that
// uses the window's space, the window's place kept, and Qt's own texts in Chinese.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QTableView>
#include <QTreeView>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "files/data_file_io.h"
#include "main_window_fixture.h"
#include "mainwindow/channel_grid.h"
#include "mainwindow/channel_table_view.h"
#include "mainwindow/recent_files.h"
#include "model/band.h"
#include "ui/prompts.h"
#include "ui/qt_translations.h"

using namespace zrk6;
using namespace zrk6::test;

namespace {

// Rows of the grid's view that show whole, and those that show at all.
struct VisibleRows {
    int whole = 0;
    int any = 0;
};

VisibleRows CountVisibleRows(QTableView *table)
{
    VisibleRows rows;
    const int height = table->viewport()->height();
    for (int r = 0; r < table->model()->rowCount(); ++r) {
        const int top = table->rowViewportPosition(r);
        if (top >= height)
            break;
        if (top < 0)
            continue;
        ++rows.any;
        if (top + table->rowHeight(r) <= height)
            ++rows.whole;
    }
    return rows;
}

} // namespace

class TestDesktop : public QObject, public MainWindowFixture {
    Q_OBJECT

    QString path(const QString &name) const { return dir->filePath(name); }

    QString writeDataFile(const QString &name, int bandRow)
    {
        const QString file = path(name);
        const QString error = SaveDataFile(file, StartupImage(BandFromRow(bandRow)));
        return error.isEmpty() ? file : QString();
    }

    QTableView *table() const { return &window->channelGrid()->view(); }

    QStringList recentItems() const
    {
        QStringList items;
        for (int i = 1; i <= RecentFiles::kCount; ++i) {
            auto *action = child<QAction>(QStringLiteral("mnuFile_Recent%1").arg(i));
            if (action->isVisible())
                items << action->text();
        }
        return items;
    }

    // Runs act on the next modal dialog once it is up.
    void onModal(std::function<void(QWidget *)> act)
    {
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, act] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                poll->stop();
                poll->deleteLater();
                act(modal);
            }
        });
        poll->start(10);
    }

    void chooseLanguage(int index)
    {
        onModal([index](QWidget *dialog) {
            Child<QComboBox>(dialog, QStringLiteral("cboLang"))->setCurrentIndex(index);
            QTest::mouseClick(Child<QPushButton>(dialog, QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        child<QAction>(QStringLiteral("mnuSetup_Lang"))->trigger();
    }

    static QString yesButtonText()
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("ZR-K6"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        return box.button(QMessageBox::Yes)->text() + u'|' + box.button(QMessageBox::No)->text() + u'|' +
               box.button(QMessageBox::Cancel)->text();
    }

private slots:
    void init()
    {
        freshSettings(QStringLiteral("config/zrk6.ini"));
        QVERIFY(dir->isValid());
    }

    void cleanup()
    {
        stop();
        UseQtTranslations(kEnglish);
    }

    void startUpWithAFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QList<int>>("shownIds");
        QTest::addColumn<QString>("message");

        QTest::newRow("good") << "pmr.dat" << true << QList<int>{} << "";
        // A missing file is reported in the system's own words (its language, its wording).
        QFile gone(QStringLiteral("gone-%1.dat").arg(QCoreApplication::applicationPid()));
        QVERIFY(!gone.open(QIODevice::ReadOnly));
        QTest::newRow("missing") << "gone.dat" << false << QList<int>{0} << gone.errorString();
        QTest::newRow("not a data file") << "notes.dat" << false << QList<int>{1112} << "Incorrect File Type.";
    }

    void startUpWithAFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, opened);
        QFETCH(QList<int>, shownIds);
        QFETCH(QString, message);
        QVERIFY(!writeDataFile(QStringLiteral("pmr.dat"), kBand446).isEmpty());
        QFile notes(path(QStringLiteral("notes.dat")));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("shopping list\n");
        notes.close();

        start();
        // As zrk6 FILE does it: a relative name is taken from the working directory.
        QVERIFY(QDir::setCurrent(dir->path()));
        QCOMPARE(window->openFile(name), opened);
        QCOMPARE(prompts->shownIds(), shownIds);
        if (!message.isEmpty())
            QVERIFY2(prompts->shown.value(0).text.contains(message), qPrintable(prompts->shown.value(0).text));
        if (opened) {
            QCOMPARE(QString::fromStdString(window->document().fileName()), path(name));
            QCOMPARE(window->windowTitle().remove(QStringLiteral("[*]")), QStringLiteral("ZR-K6 (446 - 447 MHz) [File Name: pmr.dat]"));
            QCOMPARE(recentItems(), QStringList{"&1 pmr.dat"});
        } else {
            QCOMPARE(window->windowTitle().remove(QStringLiteral("[*]")), QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: Untitled]"));
            QVERIFY(recentItems().isEmpty());
        }
        QVERIFY(!window->document().isModified());
    }

    void recentFilesAreKeptAndPruned()
    {
        QStringList files;
        for (int i = 1; i <= 5; ++i)
            files << writeDataFile(QStringLiteral("r%1.dat").arg(i), i % 2 ? kBand446 : 0);
        start();
        QVERIFY(recentItems().isEmpty());
        QVERIFY(!child<QAction>(QStringLiteral("mnuFile_RecentBar"))->isVisible());
        for (const QString &file : files)
            QVERIFY(window->openFile(file));
        QVERIFY(window->openFile(files[2])); // opened again: it moves up, no repeat
        QCOMPARE(recentItems(), (QStringList{"&1 r3.dat", "&2 r5.dat", "&3 r4.dat", "&4 r2.dat"}));
        // The full path as the system writes it (C:\... on Windows).
        QCOMPARE(child<QAction>(QStringLiteral("mnuFile_Recent2"))->toolTip(), QDir::toNativeSeparators(files[4]));

        // Saved under a new name, the file joins the list too.
        prompts->fileNames = {path(QStringLiteral("saved as.dat"))};
        child<QAction>(QStringLiteral("mnuFile_SaveAs"))->trigger();
        QCOMPARE(recentItems().first(), QStringLiteral("&1 saved as.dat"));

        // Kept in the settings.
        window->close();
        stop();
        start();
        QCOMPARE(recentItems(), (QStringList{"&1 saved as.dat", "&2 r3.dat", "&3 r5.dat", "&4 r4.dat"}));

        // A file that is gone is taken off the list, with a message, when chosen.
        QVERIFY(QFile::remove(files[4]));
        child<QAction>(QStringLiteral("mnuFile_Recent3"))->trigger();
        QCOMPARE(prompts->shownIds(), QList<int>{1876});
        QCOMPARE(prompts->shown[0].text, QDir::toNativeSeparators(files[4]) + QStringLiteral("\nThe file no longer exists; it has been "
                                                                   "taken off the list of recent files."));
        QCOMPARE(recentItems(), (QStringList{"&1 saved as.dat", "&2 r3.dat", "&3 r4.dat"}));
        QCOMPARE(window->document().fileName(), std::string(kUntitled));

        // A listed file opens from the menu.
        child<QAction>(QStringLiteral("mnuFile_Recent3"))->trigger();
        QCOMPARE(QString::fromStdString(window->document().fileName()), files[3]);
        QCOMPARE(recentItems().first(), QStringLiteral("&1 r4.dat"));

        window->close();
        stop();
        start();
        QCOMPARE(recentItems(), (QStringList{"&1 r4.dat", "&2 saved as.dat", "&3 r3.dat"}));
    }

    void theGridGrowsWithTheWindow()
    {
        start();
        const QSize design = window->size();
        ChannelTableView &g = window->channelGrid()->grid();
        auto emptyAtRight = [this] {
            int used = table()->verticalHeader()->width() + table()->verticalScrollBar()->width() +
                       2 * table()->frameWidth();
            for (int c = 0; c < table()->model()->columnCount(); ++c)
                used += table()->columnWidth(c);
            return window->channelGrid()->width() - used;
        };
        auto wholeRowsOnly = [this](const char *when) {
            const VisibleRows rows = CountVisibleRows(table());
            QVERIFY2(rows.any == rows.whole,
                     qPrintable(QStringLiteral("%1: rows %2/%3, viewport %4, row %5, scroll bar %6")
                                    .arg(QLatin1String(when))
                                    .arg(rows.whole)
                                    .arg(rows.any)
                                    .arg(table()->viewport()->height())
                                    .arg(table()->verticalHeader()->defaultSectionSize())
                                    .arg(table()->horizontalScrollBar()->isVisible())));
        };
        // At the first size every column shows whole and so does every row.
        QVERIFY(!table()->horizontalScrollBar()->isVisible());
        wholeRowsOnly("first size");
        const int designColumn = g.columnWidth(4);
        const VisibleRows atDesign = CountVisibleRows(table());
        const int designEmpty = emptyAtRight();

        window->resize(design + QSize(400, 300));
        const VisibleRows grown = CountVisibleRows(table());
        QVERIFY2(grown.whole > atDesign.whole + 5, qPrintable(QStringLiteral("%1 -> %2").arg(atDesign.whole).arg(grown.whole)));
        wholeRowsOnly("grown");
        // The columns share the extra width: no wider empty band at the right than before.
        QVERIFY(g.columnWidth(4) > designColumn);
        QCOMPARE(emptyAtRight(), designEmpty);

        // Every height in between shows whole rows, too.
        for (int extra = 40; extra <= 300; extra += 37) {
            window->resize(design + QSize(0, extra));
            wholeRowsOnly("taller");
        }

        window->resize(design);
        QCOMPARE(g.columnWidth(4), designColumn);
        QCOMPARE(CountVisibleRows(table()).whole, atDesign.whole);
    }

    void theWindowKeepsItsSizeAndPlace()
    {
        start();
        window->resize(window->size() + QSize(123, 77));
        const QSize size = window->size();
        window->close();
        stop();
        start();
        QCOMPARE(window->size(), size);
    }

    void qtTextsFollowTheLanguage()
    {
        start();
        QCOMPARE(yesButtonText(), QStringLiteral("&Yes|&No|Cancel"));
        chooseLanguage(1);
        QCOMPARE(state->language, kChinese);
        const QString chinese = yesButtonText();
        QVERIFY2(chinese.contains(QStringLiteral("是")) && chinese.contains(QStringLiteral("否")) &&
                     chinese.contains(QStringLiteral("取消")),
                 qPrintable(chinese));
        chooseLanguage(0);
        QCOMPARE(yesButtonText(), QStringLiteral("&Yes|&No|Cancel"));

        // A Chinese start-up has them from the start.
        window->close();
        stop();
        settings->SaveRegValue(QStringLiteral("Language"), QStringLiteral("1"));
        start();
        QCOMPARE(yesButtonText(), chinese);
    }

    void qtDatesAndSizesFollowTheLanguage()
    {
        QFile file(path(QStringLiteral("radio.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4112, 'x'));
        file.close();
        const QDateTime modified = QFileInfo(file).lastModified();
        const QLocale chinese(QLocale::Chinese, QLocale::China);
        start();
        chooseLanguage(1);
        QCOMPARE(QLocale().language(), QLocale::Chinese);

        // Qt's own file dialog: the Size and Date Modified columns of the file.
        QString size;
        QString date;
        onModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog);
            dialog->setDirectory(dir->path());
            auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
            QVERIFY(view);
            QAbstractItemModel *model = view->model();
            QTRY_VERIFY(model->rowCount(view->rootIndex()) > 0);
            for (int r = 0; r < model->rowCount(view->rootIndex()); ++r) {
                if (model->index(r, 0, view->rootIndex()).data().toString() == QStringLiteral("radio.dat")) {
                    size = model->index(r, 1, view->rootIndex()).data().toString();
                    date = model->index(r, 3, view->rootIndex()).data().toString();
                }
            }
            dialog->reject();
        });
        WidgetPrompts real;
        QCOMPARE(real.openFileName(window.get(), QStringLiteral("Data Files (*.dat)")), QString());
        QCOMPARE(date, chinese.toString(modified, QLocale::ShortFormat));
        QCOMPARE(size, chinese.formattedDataSize(4112));

        chooseLanguage(0);
        QCOMPARE(QLocale(), QLocale::system());
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
