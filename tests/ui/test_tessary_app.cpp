// The application object: settings at startup and exit, Open Image, the recent-file entries
// with the MRU question, Exit and About.
#include "align/ui/align_child_wnd.h"
#include "app/ui/app_actions.h"
#include "app/ui/tessary_app.h"
#include "merge/ui/dest_child.h"
#include "ui_fixtures.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace tessary;
using namespace tessary::uitest;

namespace {

struct Program {
    testing::FakePlatform& platform;
    MergeWorkspace workspace;
    FakeSourceLayer sources { workspace, nullptr, {} };
    CTessaryApp app { platform, workspace, [this](const std::string& path) { return sources.open(path); } };

    explicit Program(testing::FakePlatform& p)
        : platform(p)
    {
        app.start({ "tessary", "/some/file/on/the/command/line.bmp" });
        sources.frame = app.mainFrame();
    }
    // The Align Window's File menu (every window kind shows the same recent files).
    QMenu* fileMenu() { return app.alignWindow()->menus().value(0); }
};

} // namespace

class TessaryAppTest : public QObject {
    Q_OBJECT
private slots:
    void freshSettingsGiveTheDefaults()
    {
        auto platform = makeFakePlatform();
        Program p(*platform);
        QCOMPARE(p.workspace.alignView.nudgeX, 1);
        QCOMPARE(p.workspace.alignView.nudgeY, 1);
        QCOMPARE(p.workspace.alignView.snapMove, 1);
        QCOMPARE(p.workspace.app.flyingTipsEnabled, 1);
        // The command line names a file: startup itself opens nothing (main opens it once the
        // source windows can be made) and makes no empty document.
        QVERIFY(p.sources.opened.empty());
        QCOMPARE(p.workspace.sourceCount, 0);
        QCOMPARE(entryLabels(p.fileMenu()),
            QStringList({ "Open Image...\tCtrl+O", "New Text...\tCtrl+T", "Open Arrangement...", "Save Arrangement...",
                "Recent File", "E&xit" }));
        p.app.mainFrame()->actions().openImage->trigger();
        QCOMPARE(platform->openRequests.size(), size_t(1));
        QCOMPARE(platform->openRequests[0].initialFolder, std::string());
        QCOMPARE(platform->openRequests[0].filterIndex, kImageFilesFilter); // every picture it reads
    }

    void storedSettingsAreReadAtStartup()
    {
        auto platform = makeFakePlatform();
        platform->intSettings["Configure/Nudge Factor X"] = 5;
        platform->intSettings["Configure/Nudge Factor Y"] = 7;
        platform->intSettings["Configure/Snap move"] = 3;
        platform->intSettings["Configure/flying tips"] = 1;
        platform->textSettings["Recent File List/File1"] = "/pics/b.png";
        platform->textSettings["Recent File List/File2"] = "/pics/a & b.png";
        Program p(*platform);
        QCOMPARE(p.workspace.alignView.nudgeX, 5);
        QCOMPARE(p.workspace.alignView.nudgeY, 7);
        QCOMPARE(p.workspace.alignView.snapMove, 3);
        QCOMPARE(p.workspace.app.flyingTipsEnabled, 0);
        QCOMPARE(entryLabels(p.fileMenu()),
            QStringList({ "Open Image...\tCtrl+O", "New Text...\tCtrl+T", "Open Arrangement...", "Save Arrangement...",
                "&1 /pics/b.png", "&2 /pics/a && b.png", "E&xit" }));
        QCOMPARE(p.app.mainFrame()->actions().recent[1]->statusTip(), QString("Open this image #2"));
    }

    void flyingTipsSurviveARestartStoredInverted()
    {
        auto platform = makeFakePlatform();
        {
            Program p(*platform);
            QAction* flyingTips = p.app.alignWindow()->findChild<QAction*>("flyingTips");
            QVERIFY(flyingTips && flyingTips->isEnabled());
            platform->expectMessage("Do you wish to enable flying tips for Tessary?", MessageAnswer::No);
            flyingTips->trigger();
            QCOMPARE(platform->messages.back().icon, MessageIcon::Question);
            QCOMPARE(p.workspace.app.flyingTipsEnabled, 0);
            // Written when the program ends, not before.
            QVERIFY(!platform->intSettings.count("Configure/flying tips"));
            p.app.exitCommand();
            QVERIFY(!p.app.mainFrame()->isVisible());
        }
        QCOMPARE(platform->intSettings["Configure/flying tips"], 1);
        {
            Program p(*platform);
            QCOMPARE(p.workspace.app.flyingTipsEnabled, 0);
            platform->expectMessage("Do you wish to enable flying tips for Tessary?", MessageAnswer::Yes);
            p.app.alignWindow()->findChild<QAction*>("flyingTips")->trigger();
            QCOMPARE(p.workspace.app.flyingTipsEnabled, 1);
        }
        QCOMPARE(platform->intSettings["Configure/flying tips"], 0);
    }

    void theFileTransparencySwitchIsASettingThatSurvivesARestart()
    {
        auto platform = makeFakePlatform();
        {
            Program p(*platform);
            QAction* use = p.app.alignWindow()->fileTransparency();
            QVERIFY(use->isCheckable() && use->isChecked());
            QVERIFY(p.workspace.loadOptions.fileTransparency);
            use->trigger();
            QVERIFY(!p.workspace.loadOptions.fileTransparency);
            QCOMPARE(platform->intSettings["Configure/Use File Transparency"], 0);
        }
        Program p(*platform);
        QVERIFY(!p.workspace.loadOptions.fileTransparency);
        p.app.alignWindow()->activated();
        QVERIFY(!p.app.alignWindow()->fileTransparency()->isChecked());
    }

    void openImageTitlesTheNextSourceAndRefusesTheNinth()
    {
        auto platform = makeFakePlatform();
        Program p(*platform);
        platform->openAnswers.push_back(FileDialogResult { "/photos/one.jpg", 2 });
        platform->openAnswers.push_back(FileDialogResult { "/photos/two.xyz", 7 });
        QAction* open = p.app.mainFrame()->actions().openImage;
        open->trigger();
        open->trigger();
        QCOMPARE(p.workspace.sourceCount, 2);
        QCOMPARE(platform->openRequests[0].title, std::string("Open Source Window 1"));
        QCOMPARE(platform->openRequests[1].title, std::string("Open Source Window 2"));
        // "All Files" stays selected for the next time, in the folder last used.
        QCOMPARE(platform->intSettings["Configure/Last Open Extension"], 7);
        QCOMPARE(platform->textSettings["Configure/Last Open Directory"], std::string("/photos/"));
        // The new source's window opened, then the Align Window came back to the front.
        QCOMPARE(p.app.mainFrame()->activeChild(), p.app.alignWindow());
        QCOMPARE(
            entryLabels(p.fileMenu()).mid(4, 2), QStringList({ "&1 /photos/two.xyz", "&2 /photos/one.jpg" }));

        for (int i = 0; i < 5; ++i)
            p.sources.open("/more/" + std::to_string(i) + ".bmp");
        open->trigger(); // cancelled
        QCOMPARE(platform->openRequests.back().title, std::string("Open Source Window 8"));
        QCOMPARE(platform->openRequests.back().filterIndex, 7);
        QCOMPARE(platform->openRequests.back().initialFolder, std::string("/photos/"));
        p.sources.open("/more/8.bmp");
        const size_t requests = platform->openRequests.size();
        platform->expectMessage("No more than 8 images allowed.");
        open->trigger();
        QCOMPARE(platform->openRequests.size(), requests);
        QCOMPARE(platform->messages.back().icon, MessageIcon::Error);
    }

    void recentFileEntriesOpenActivateOrAskToBeDeleted()
    {
        auto platform = makeFakePlatform();
        platform->textSettings["Recent File List/File1"] = "/r/bad.bmp";
        platform->textSettings["Recent File List/File2"] = "/r/good.bmp";
        Program p(*platform);
        AppActions& actions = p.app.mainFrame()->actions();

        actions.recent[1]->trigger();
        QCOMPARE(p.workspace.sourceCount, 1);
        QCOMPARE(entryLabels(p.fileMenu()).mid(4, 2), QStringList({ "&1 /r/good.bmp", "&2 /r/bad.bmp" }));

        // Opening it again only brings its window forward.
        p.app.mainFrame()->activateChild(p.app.targetWindow());
        actions.recent[0]->trigger();
        QCOMPARE(p.workspace.sourceCount, 1);
        QCOMPARE(p.app.mainFrame()->activeChild()->sourceNumber(), 1);

        const char* question
            = "There is a problem with this file???\nDo you wish to delete it from the MRU list ?";
        platform->expectMessage(question, MessageAnswer::No);
        actions.recent[1]->trigger();
        QCOMPARE(entryLabels(p.fileMenu()).size(), 7);
        platform->expectMessage(question, MessageAnswer::Yes);
        actions.recent[1]->trigger();
        QCOMPARE(entryLabels(p.fileMenu()),
            QStringList({ "Open Image...\tCtrl+O", "New Text...\tCtrl+T", "Open Arrangement...", "Save Arrangement...",
                "&1 /r/good.bmp", "E&xit" }));
        QCOMPARE(platform->textSettings["Recent File List/File2"], std::string());
    }

    void aboutBoxHasItsTitleAndAnOkButton()
    {
        auto platform = makeFakePlatform();
        Program p(*platform);
        QString title, text;
        bool hasIcon = false;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            title = box->windowTitle();
            auto* icon = box->findChild<QLabel*>("programIcon");
            hasIcon = icon && !icon->pixmap().isNull();
            auto* line = box->findChild<QLabel*>("aboutLine");
            QVERIFY(line);
            text = line->text();
            auto* buttons = box->findChild<QDialogButtonBox*>();
            QVERIFY(buttons);
            QCOMPARE(buttons->buttons().size(), 1);
            buttons->button(QDialogButtonBox::Ok)->click();
        });
        p.app.mainFrame()->actions().about->trigger();
        QCOMPARE(title, QString("About Tessary"));
        QVERIFY(hasIcon);
        // Name and version, what it does, Qt, the licence.
        QVERIFY2(text.startsWith(QString("Tessary ") + TESSARY_VERSION + "\n"), qPrintable(text));
        QVERIFY2(text.contains(QString("Qt ") + QT_VERSION_STR), qPrintable(text));
        QVERIFY2(text.contains("GPL-3.0-or-later"), qPrintable(text));
    }

    void saveArrangementWritesTheOpenSourcesToTheChosenFile()
    {
        auto platform = makeFakePlatform();
        Program p(*platform);
        p.sources.open("/pics/a.bmp");
        p.sources.open("/pics/b.png");
        p.workspace.alignDoc.placement[1].posX = 17;
        const QString folder = QDir::tempPath() + "/tessary-arrangement-ui-"
            + QString::number(QCoreApplication::applicationPid());
        QVERIFY(QDir().mkpath(folder));
        const std::string path = (folder + "/two").toStdString();
        platform->saveAnswers.push_back(FileDialogResult { path, 1 });
        p.app.mainFrame()->actions().saveArrangement->trigger();
        QFile file(QString::fromStdString(path + ".tessary.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.contains("\"file\": \"/pics/a.bmp\""));
        QVERIFY(text.contains("\"file\": \"/pics/b.png\""));
        QVERIFY(text.contains("\"posX\": 17"));
        QVERIFY(text.contains("\"version\": 2"));
        QDir(folder).removeRecursively();
    }
};

QTEST_MAIN(TessaryAppTest)
#include "test_tessary_app.moc"
