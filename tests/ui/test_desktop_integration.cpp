// What a Linux desktop expects of the program: files named on the command line (a launcher's
// "Open With") open as sources, Help Topics and F1 show the user guide that ships with it, and
// every window carries the program's icon.
#include "app/ui/app_icon.h"
#include "app/ui/command_line.h"
#include "app/ui/help_window.h"
#include "source_program.h"

#include <QDialog>
#include <QDir>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextBrowser>
#include <QWhatsThis>
#include <QWhatsThisClickedEvent>

using namespace tessary;
using namespace tessary::uitest;

namespace {

std::string sourcePath(const SourceProgram& p, int number)
{
    return p.workspace.documents[size_t(number - 1)]->filePath;
}

// F1 reaches the frame's accelerators while the frame is the active window (the help window takes
// the focus when it shows).
void pressF1(QWidget& frame)
{
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_F1);
}

QString guideFolder()
{
    return QCoreApplication::applicationDirPath() + "/guide";
}

} // namespace

class DesktopIntegrationTest : public QObject {
    Q_OBJECT
private slots:
    void commandLineNamesFilesInOrderAsAbsolutePaths()
    {
        const QString here = QDir::currentPath();
        QCOMPARE(commandLineFiles({ "tessary", "a.png", "-style=fusion", "/pics/b.jpg",
                     "file:///pics/c%20d.tif", "--", "-e.bmp", "" }),
            (std::vector<std::string> { (here + "/a.png").toStdString(), "/pics/b.jpg", "/pics/c d.tif",
                (here + "/-e.bmp").toStdString() }));
        QVERIFY(commandLineFiles({ "tessary" }).empty());
    }

    void twoFilesOnTheCommandLineAreTwoSources()
    {
        QTemporaryDir folder;
        const std::string first = writeTestBmp(folder, "first.bmp", 30, 20);
        const std::string second = writeTestBmp(folder, "second.bmp", 16, 24);
        SourceProgram p({ "tessary", QString::fromStdString(first), QString::fromStdString(second) });
        QCOMPARE(p.workspace.sourceCount, 0);
        QCOMPARE(p.app.openCommandLineFiles(),
            (std::vector<OpenResult> { OpenResult::Created, OpenResult::Created }));
        QCOMPARE(p.workspace.sourceCount, 2);
        QCOMPARE(sourcePath(p, 1), first);
        QCOMPARE(sourcePath(p, 2), second);
        QCOMPARE(p.workspace.documents[1]->imageWidth, 16);
        QCOMPARE(p.workspace.documents[1]->imageHeight, 24);
        QVERIFY(p.sources.view(2));
        // As after a drop: both files are recent files and the Align Window is in front.
        QCOMPARE(p.app.recentFiles().entries(), (std::vector<std::string> { second, first }));
        QCOMPARE(p.app.mainFrame()->activeChild(), static_cast<ChildWindow*>(p.app.alignWindow()));
        QVERIFY(p.platform->messages.empty());
        // Read once: a second call opens nothing more.
        QVERIFY(p.app.openCommandLineFiles().empty());
        QCOMPARE(p.workspace.sourceCount, 2);
    }

    void aNinthFileIsRefusedOnceAndTheRestLeftAlone()
    {
        QTemporaryDir folder;
        QStringList arguments { "tessary" };
        for (int i = 1; i <= 10; ++i)
            arguments << QString::fromStdString(writeTestBmp(folder, "f" + std::to_string(i) + ".bmp", 8, 8));
        SourceProgram p(arguments);
        p.platform->expectMessage(kNoMoreThan8Images);
        const std::vector<OpenResult> results = p.app.openCommandLineFiles();
        QCOMPARE(results.size(), size_t(9));
        QCOMPARE(results.back(), OpenResult::Refused);
        QCOMPARE(p.workspace.sourceCount, 8);
        QCOMPARE(QString::fromStdString(sourcePath(p, 8)), arguments[8]);
        QCOMPARE(p.platform->messages.size(), size_t(1));
    }

    void helpTopicsShowsTheGuidesContentsAndF1ThePageOfTheActiveWindow()
    {
        SourceProgram p;
        p.frame().actions().helpTopics->trigger();
        HelpWindow* help = p.app.helpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->browser()->source().fileName(), QString("index.md"));
        QVERIFY(help->browser()->toPlainText().contains("The road of one merge"));

        // F1 in the Align Window: its own page, in the same window.
        pressF1(p.frame());
        QCOMPARE(p.app.helpWindow(), help);
        QCOMPARE(help->browser()->source().fileName(), QString("align-window.md"));
        p.frame().activateChild(p.app.targetWindow());
        pressF1(p.frame());
        QCOMPARE(help->browser()->source().fileName(), QString("target-window.md"));
        QVERIFY(p.addSource(10, 10));
        QVERIFY(p.frame().activateSourceWindow(1));
        pressF1(p.frame());
        QCOMPARE(help->browser()->source().fileName(), QString("source-windows.md"));
        // Back returns to the page before.
        help->browser()->backward();
        QCOMPARE(help->browser()->source().fileName(), QString("target-window.md"));
    }

    void specificHelpExplainsWhatIsClickedAndLeadsToItsPage()
    {
        SourceProgram p;
        QVERIFY(p.addSource(12, 12));
        QAction* specificHelp = p.frame().actions().specificHelp;
        QVERIFY(specificHelp->isEnabled());
        // A click on the Align view in help mode shows the Align Window's text: the view has
        // none of its own, the window's applies.
        specificHelp->trigger();
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QWidget* view = p.app.alignWindow()->body()->centralWidget();
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(!QWhatsThis::inWhatsThisMode());
        QWidget* shown = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && QByteArray(w->metaObject()->className()) == "QWhatsThat")
                shown = w;
        QVERIFY(shown);
        QWhatsThis::hideText();
        // Each kind of window leads to its page, and the status bar to the contents.
        const std::pair<QWidget*, QString> pages[] = {
            { p.app.alignWindow(), "align-window.md" },
            { p.app.targetWindow(), "target-window.md" },
            { p.sources.window(1), "source-windows.md" },
            { p.frame().statusBar(), "index.md" },
        };
        for (const auto& [widget, page] : pages) {
            QVERIFY(widget);
            QVERIFY2(widget->whatsThis().contains("href=\"" + page + "\""), qPrintable(page));
            QWhatsThisClickedEvent clicked(page);
            QApplication::sendEvent(widget, &clicked);
            QCOMPARE(p.app.helpWindow()->browser()->source().fileName(), page);
        }
        // Menu entries and buttons explain themselves with their prompts.
        QCOMPARE(p.frame().actions().openImage->whatsThis(), QString("Open an existing image file"));
    }

    void everyLinkAndPictureOfTheGuideIsThere()
    {
        // Pages link to each other and to their screenshots by relative paths: a renamed page
        // or a screenshot the script no longer makes would show as a broken link.
        const QDir guide(guideFolder());
        const QRegularExpression link(R"(\]\(([^)#\s]+)(#[^)]*)?\))");
        int pages = 0;
        for (const QString& page : guide.entryList({ "*.md" })) {
            ++pages;
            QFile file(guide.filePath(page));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            for (auto it = link.globalMatch(text); it.hasNext();) {
                const QString target = it.next().captured(1);
                if (target.contains("://"))
                    continue;
                QVERIFY2(QFileInfo(guide.filePath(target)).isFile(), qPrintable(page + " -> " + target));
            }
        }
        QVERIFY(pages >= 5);
        for (const char* page : { "index.md", "align-window.md", "target-window.md", "source-windows.md" })
            QVERIFY2(guide.exists(page), page);
    }

    void aMissingGuideIsReported()
    {
        SourceProgram p;
        const QString guide = guideFolder();
        // The guide is moved aside for the test and put back however the test ends.
        struct MovedAside {
            QString from, to;
            bool moved = QDir().rename(from, to);
            ~MovedAside()
            {
                if (moved)
                    QDir().rename(to, from);
            }
        } aside { guide, guide + ".aside" };
        QVERIFY(aside.moved);
        p.platform->expectMessage(missingGuideMessage(guide + "/index.md").toStdString());
        p.frame().actions().helpTopics->trigger();
        QVERIFY(!p.app.helpWindow() || !p.app.helpWindow()->isVisible());
    }

    void everyWindowCarriesTheProgramsIcon()
    {
        const QIcon icon = applicationIcon();
        QVERIFY(!icon.isNull());
        const QList<QSize> sizes = icon.availableSizes();
        for (const QSize size : { QSize(16, 16), QSize(48, 48), QSize(256, 256) })
            QVERIFY(sizes.contains(size));
        SourceProgram p;
        QCOMPARE(p.frame().windowIcon().cacheKey(), icon.cacheKey());
        // Dialogs have no icon of their own: they show the application's.
        QCOMPARE(QApplication::windowIcon().cacheKey(), icon.cacheKey());
        QDialog dialog(&p.frame());
        QCOMPARE(dialog.windowIcon().cacheKey(), icon.cacheKey());
    }
};

QTEST_MAIN(DesktopIntegrationTest)
#include "test_desktop_integration.moc"
