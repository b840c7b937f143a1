// Every dialog reached from the main window the way a user reaches it: menu items, toolbar
// buttons, the grid's copy keys and the hidden gesture on the grid header.

#include <functional>
#include <memory>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "dialogs/memory_map_dialog.h"
#include "dialogs/print_dialog.h"
#include "mainwindow/channel_grid.h"
#include "mainwindow/channel_table_view.h"
#include "mainwindow/main_window.h"
#include "mainwindow/settings_store.h"
#include "model/app_state.h"
#include "model/channel_record.h"
#include "record_fixtures.h"
#include "main_window_fixture.h"
#include "twips.h"

using namespace zrk6;

class TestDialogsFromWindow : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QString modalSeen;

    template <typename T> T *child(QWidget *parent, const char *name)
    {
        return test::Child<T>(parent, QString::fromLatin1(name));
    }
    QTableView *table() { return child<QTableView>(window.get(), "msgMemChannel"); }
    QString cell(int channel, int column) { return window->channelGrid()->cellText(channel, column); }

    // Runs act on the next modal dialog as soon as it is shown, and remembers its name.
    void onModal(std::function<void(QWidget *)> act)
    {
        modalSeen.clear();
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll, act] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal == nullptr)
                return;
            poll->deleteLater();
            poll->stop();
            modalSeen = modal->objectName();
            // Every dialog carries the program icon of the window that owns it.
            if (modal->windowIcon().isNull() || modal->windowIcon().cacheKey() != window->windowIcon().cacheKey())
                modalSeen += QStringLiteral(" without the program icon");
            act(modal);
        });
        poll->start(5);
    }
    void trigger(const char *action) { child<QAction>(window.get(), action)->trigger(); }
    void click(const char *toolButton) { QTest::mouseClick(child<QToolButton>(window.get(), toolButton), Qt::LeftButton); }

private slots:
    void init()
    {
        freshSettings(QStringLiteral("zrk6.ini"));
        start();
        setUp([this](MemoryImage &image) {
            for (int n : {1, 2, 3}) {
                StoreRxFrequency(image, n, "144.0" + std::to_string(n) + "000", doc().band());
                if (n == 3)
                    StoreTxFrequency(image, n, "144.60000");
            }
        });
    }

    void cleanup()
    {
        stop();
        settings.reset();
        dir.reset();
    }

    void optionalFeaturesFromTheProgramMenu()
    {
        onModal([this](QWidget *dialog) {
            child<QComboBox>(dialog, "cboFeatureGen2")->setCurrentIndex(7);
            QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        });
        trigger("mnuProgram_OptFeatures");
        QCOMPARE(modalSeen, QStringLiteral("frmOptFeatures"));
        QCOMPARE(int(image().at(0xFC3)), 7);
        QVERIFY(doc().isModified());
        QCOMPARE(doc().undoStack().undoText(), QStringLiteral("Change Optional Features"));
    }

    void printFromTheToolbar()
    {
        // A page set up in one opening is still set up in the next.
        onModal([this](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Print Out List"));
            qobject_cast<PrintDialog *>(dialog)->printer().setPageOrientation(QPageLayout::Landscape);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        click("tlbActions_Print");
        QCOMPARE(modalSeen, QStringLiteral("frmPrint"));
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        onModal([&orientation](QWidget *dialog) {
            orientation = qobject_cast<PrintDialog *>(dialog)->printer().pageLayout().orientation();
            dialog->close();
        });
        click("tlbActions_Print");
        QCOMPARE(orientation, QPageLayout::Landscape);
    }

    void portFromTheSetupMenu()
    {
        onModal([this](QWidget *dialog) {
            QVERIFY(child<QRadioButton>(dialog, "optCOM0")->isChecked());
            child<QRadioButton>(dialog, "optCOM1")->setChecked(true);
            QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        });
        trigger("mnuSetup_CommPort");
        QCOMPARE(modalSeen, QStringLiteral("frmCommPort"));
        QCOMPARE(state->commPortNumber, 2);
    }

    void languageSwitchRecaptionsEverything()
    {
        onModal([this](QWidget *dialog) {
            child<QComboBox>(dialog, "cboLang")->setCurrentIndex(1);
            QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        });
        trigger("mnuSetup_Lang");
        QCOMPARE(modalSeen, QStringLiteral("frmLanguage"));
        QCOMPARE(state->language, kChinese);
        QCOMPARE(child<QMenu>(window.get(), "mnuSetup")->title(), QStringLiteral("设置(&S)"));
        QVERIFY(window->windowTitle().contains(QStringLiteral("文件名")));
        QStringList headers;
        for (int c = 0; c < table()->model()->columnCount(); ++c)
            headers << table()->model()->headerData(c, Qt::Horizontal).toString();
        QVERIFY2(headers.contains(QStringLiteral("发射功率")), qPrintable(headers.join(',')));
        QCOMPARE(cell(1, 7), QStringLiteral("高"));
        QCOMPARE(cell(3, 4), QStringLiteral("无"));

        // The dialogs now open in Chinese; Cancel after a change changes nothing.
        onModal([this](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("语言设置"));
            child<QComboBox>(dialog, "cboLang")->setCurrentIndex(0);
            QTest::mouseClick(child<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
        });
        trigger("mnuSetup_Lang");
        QCOMPARE(state->language, kChinese);
        QCOMPARE(cell(1, 7), QStringLiteral("高"));
    }

    void aboutFromTheHelpMenuAndTheToolbar()
    {
        for (const char *entry : {"mnuHelp_About", "tlbActions_About"}) {
            onModal([this](QWidget *dialog) {
                QVERIFY(child<QLabel>(dialog, "lblAbout")->text().contains(QStringLiteral("2.90")));
                QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
            });
            if (QByteArray(entry).startsWith("tlb"))
                click(entry);
            else
                trigger(entry);
            QCOMPARE(modalSeen, QStringLiteral("frmAbout"));
        }
    }

    void copyKeysOnTheGrid()
    {
        // Ctrl+E on channel 2: two copies, then Cancel.
        window->focusGrid(2, 1);
        onModal([this](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Channel Copy"));
            auto *box = child<QLineEdit>(dialog, "txtDest");
            for (const char *dest : {"9", "10"}) {
                box->selectAll();
                QTest::keyClicks(box, dest);
                QTest::keyClick(box, Qt::Key_Return);
            }
            QCOMPARE(cell(9, 1), QStringLiteral("144.02000")); // shown while the dialog is open
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QTest::keyClick(table(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(modalSeen, QStringLiteral("frmCopy"));
        QCOMPARE(cell(10, 1), QStringLiteral("144.02000"));

        // Shift+F4: the transmit frequency from the receive frequency.
        onModal([this](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Frequency Copy"));
            QTest::keyClick(child<QLineEdit>(dialog, "txtDest"), Qt::Key_Return);
        });
        QTest::keyClick(table(), Qt::Key_F4, Qt::ShiftModifier);
        QCOMPARE(modalSeen, QStringLiteral("frmCopy"));
        QCOMPARE(cell(2, 2), QStringLiteral("144.02000"));

        // Ctrl+Q on channel 3: the encode tone.
        window->focusGrid(3, 1);
        onModal([this](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("QT/DQT Copy"));
            auto *list = child<QComboBox>(dialog, "cboCode");
            list->setCurrentIndex(list->findText("D023N"));
            QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        });
        QTest::keyClick(table(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(modalSeen, QStringLiteral("frmCopy"));
        QCOMPARE(cell(3, 4), QStringLiteral("D023N"));
        QCOMPARE(QString::fromStdString(ChannelRowTexts(image(), 3, doc().band(), kEnglish)[3]),
                 QStringLiteral("D023N"));
    }

    void memoryMapFromTheKeys()
    {
        // Window managers that take the mouse gesture leave these keys alone.
        QTest::keyClick(table(), Qt::Key_M, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        const auto maps = window->findChildren<MemoryMapDialog *>();
        QCOMPARE(maps.size(), 1);
        QVERIFY(maps.first()->isVisible());
        QVERIFY(!maps.first()->isModal());
    }

    void memoryMapFromTheHiddenGesture()
    {
        ChannelTableView &g = window->channelGrid()->grid();
        QWidget *header = table()->horizontalHeader()->viewport();
        const QPoint at = header->mapFrom(table(), QPoint(TwipsToPixels(3000, g.logicalDpiX()), TwipsToPixels(100, g.logicalDpiY())));
        const auto all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        QTest::mouseClick(header, Qt::RightButton, all, at);
        auto maps = window->findChildren<MemoryMapDialog *>();
        QCOMPARE(maps.size(), 1);
        MemoryMapDialog *map = maps.first();
        QVERIFY(map->isVisible());
        QVERIFY(!map->isModal());
        QCOMPARE(map->windowIcon().cacheKey(), window->windowIcon().cacheKey());
        QVERIFY(QApplication::activeModalWidget() == nullptr);

        // A second gesture brings the same window forward.
        QTest::mouseClick(header, Qt::RightButton, all, at);
        QCOMPARE(window->findChildren<MemoryMapDialog *>().size(), 1);

        // Channel 1 receives on 144.01000 (bytes 00 10 40 14); change its first byte.
        map->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(map));
        map->grid()->setCurrentCell(0, 0);
        QTest::keyClick(map->grid(), Qt::Key_2);
        QTest::keyClicks(map->editor(), "5");
        QTest::keyClick(map->editor(), Qt::Key_Return);
        QPointer<MemoryMapDialog> guard(map);
        QTest::mouseClick(child<QPushButton>(map, "cmdOK"), Qt::LeftButton);
        QCOMPARE(int(image().at(0)), 0x25);
        QCOMPARE(cell(1, 1), QStringLiteral("144.01025")); // the grid shows the image again
        QTRY_VERIFY(guard.isNull());
    }
};

QTEST_MAIN(TestDialogsFromWindow)
#include "test_dialogs_from_window.moc"
