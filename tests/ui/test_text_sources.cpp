// Text, pasted and target-copy sources in the running program: New Text through its command
// and the Text Entry dialog, Edit text, Paste, Send to new Source with eight sources, and Reload
// Source of every kind through the source window's command.
#include "align/edit_selected_text.h"
#include "align/ui/align_view.h"
#include "merge/ui/dest_child.h"
#include "source_program.h"
#include "sources/new_image_source.h"
#include "sources/reload_source.h"
#include "sources/ui/text_entry.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace tessary;
using namespace tessary::uitest;

namespace {

// Works the Text Entry dialog once it shows (other event loops may run before it does): `use`
// gets it; afterwards it is rejected if still open.
void withTextEntry(const std::function<void(text_entry*)>& use, bool* seen = nullptr)
{
    auto* poll = new QTimer;
    poll->setInterval(0);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, use, seen] {
        QPointer<text_entry> dialog = qobject_cast<text_entry*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (++*tries > 1000)
                poll->deleteLater();
            return;
        }
        poll->stop();
        poll->deleteLater();
        if (seen)
            *seen = true;
        use(dialog);
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    poll->start();
}

void click(QWidget* dialog, const char* name)
{
    auto* button = dialog->findChild<QPushButton*>(name);
    QVERIFY2(button, name);
    button->click();
}

std::vector<uint8_t> blockOf(const MaskedDib& image)
{
    return std::vector<uint8_t>(image.dib->data(), image.dib->data() + image.dib->size());
}

MaskedDib solid(int32_t w, int32_t h, BgrColour c)
{
    MaskedDib image;
    allocateMaskedDib(h, w, image, 24);
    for (int32_t r = 0; r < h; ++r)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = image.dib->row(r) + 3 * x;
            p[0] = c.blue, p[1] = c.green, p[2] = c.red;
        }
    return image;
}

} // namespace

class TextSourcesTest : public QObject {
    Q_OBJECT
private slots:
    void newTextMakesATextSourceShownInTheAlignPreview()
    {
        SourceProgram p;
        QVERIFY(p.addSource(40, 30));
        bool seen = false;
        withTextEntry(
            [](text_entry* dialog) {
                QCOMPARE(dialog->windowTitle(), QString("Text Entry"));
                QCOMPARE(dialog->findChild<QLabel*>("sourceNumber")->text(), QString("Selected Source 2"));
                // A new text has no Try Text.
                QVERIFY(!dialog->findChild<QPushButton*>("tryText"));
                QVERIFY(!dialog->findChild<QCheckBox*>("transparent")->isChecked());
                dialog->field()->setPlainText("Hello\nWorld");
                click(dialog, "ok");
            },
            &seen);
        p.frame().actions().newText->trigger();
        QVERIFY(seen);
        QCOMPARE(p.workspace.sourceCount, 2);
        const VIrorozIzi& doc = *p.workspace.source(2);
        QCOMPARE(doc.title, std::string("Text"));
        QCOMPARE(doc.textBuffer, std::string("Hello\r\nWorld\r\n"));
        // Five characters of 8 pixels in the fake renderer, two lines of 16.
        QCOMPARE(doc.imageWidth, 48);
        QCOMPARE(doc.imageHeight, 32);
        QVERIFY(p.tabTitles().contains("Text"));
        QCOMPARE(p.workspace.alignDoc.previewValid, 1);
        QVERIFY(p.workspace.targetDoc.transformed[1].width() > 0);
    }

    void aCancelledNewTextLeavesNoSource()
    {
        SourceProgram p;
        QVERIFY(p.addSource(40, 30));
        const QStringList tabs = p.tabTitles();
        withTextEntry([](text_entry* dialog) {
            dialog->field()->setPlainText("never used");
            click(dialog, "cancel");
        });
        p.frame().actions().newText->trigger();
        QCOMPARE(p.workspace.sourceCount, 1);
        QCOMPARE(p.workspace.app.pendingSourceKind, int32_t(kSourceTextCancelled));
        QCOMPARE(p.tabTitles(), tabs);
        // A text of nothing is refused and leaves no source either.
        p.platform->expectMessage("No text entered?");
        withTextEntry([](text_entry* dialog) { click(dialog, "ok"); });
        p.frame().actions().newText->trigger();
        QCOMPARE(p.workspace.sourceCount, 1);
    }

    void dialogButtonsEditTheDocument()
    {
        SourceProgram p;
        QVERIFY(p.addSource(40, 30));
        QVERIFY(p.addSource(20, 20));
        VIrorozIzi& doc = *p.workspace.source(2);
        doc.textBuffer = "old\r\n";
        doc.textTransparentBack = 1;
        p.platform->colourAnswers = { std::nullopt };
        FontChoice chosen { LogFont {}, 0x0000FF };
        chosen.font.faceName = "DejaVu Sans";
        p.platform->fontAnswers = { chosen };
        bool tried = false;
        withTextEntry([&](text_entry* dialog) {
            // The closing line end is not shown; the check box starts cleared every time.
            QCOMPARE(dialog->field()->toPlainText(), QString("old"));
            QVERIFY(!dialog->findChild<QCheckBox*>("transparent")->isChecked());
            click(dialog, "backColour");
            QCOMPARE(doc.textBackColour, ColourRef(0x808080));
            click(dialog, "setFont");
            QCOMPARE(doc.textFont.faceName, std::string("DejaVu Sans"));
            QCOMPARE(doc.textColour, ColourRef(0x0000FF));
            click(dialog, "zapText");
            QCOMPARE(doc.textBuffer, std::string());
            QCOMPARE(dialog->field()->toPlainText(), QString());
            dialog->field()->setPlainText("new");
            click(dialog, "tryText");
            tried = true;
            click(dialog, "cancel");
        });
        p.platform->expectMessage(kConvertToTextQuestion, MessageAnswer::Yes);
        p.workspace.alignView.selectedSource = 2;
        p.app.alignWindow()->editText()->trigger();
        QVERIFY(tried);
        // Cancel after Try Text: the tried text stays, the image from before is back, the source
        // is transformed from it again.
        QCOMPARE(doc.textBuffer, std::string("new\r\n"));
        QCOMPARE(doc.imageWidth, 20);
        QCOMPARE(p.workspace.targetDoc.transformed[1].width(), 20);
        QCOMPARE(doc.textTransparentBack, 0);
    }

    void pasteTakesTheClipboardImage()
    {
        SourceProgram p;
        QVERIFY(p.addSource(40, 30));
        QVERIFY(p.addSource(20, 20));
        QAction* paste = p.app.alignWindow()->paste();
        p.platform->clipboard.reset();
        p.app.alignWindow()->updateActions();
        QVERIFY(!paste->isEnabled());
        p.platform->clipboard = blockOf(solid(9, 7, BgrColour { 1, 2, 3 }));
        p.app.alignWindow()->updateActions();
        QVERIFY(paste->isEnabled());
        paste->trigger();
        QCOMPARE(p.workspace.sourceCount, 3);
        QCOMPARE(p.workspace.source(3)->title, std::string("Pasted Image"));
        QCOMPARE(p.workspace.source(3)->imageWidth, 9);
        QVERIFY(p.tabTitles().contains("Pasted Image"));
    }

    void sendToNewSourceWithEightSourcesLeavesOnlyTheCopy()
    {
        SourceProgram p;
        for (int i = 0; i < 8; ++i)
            QVERIFY(p.addSource(10 + i, 10));
        p.workspace.targetDoc.targetImage = solid(33, 11, BgrColour { 5, 6, 7 }).dib->clone();
        p.workspace.targetDoc.generated = 1;
        p.app.targetWindow()->updateActions();
        QAction* send = p.app.targetWindow()->findChild<QAction*>("sendToNewSource");
        QVERIFY(send && send->isEnabled());
        p.platform->expectMessage(kDestroyAllSourcesQuestion, MessageAnswer::Yes);
        send->trigger();
        SourceProgram::settle();
        QCOMPARE(p.workspace.sourceCount, 1);
        QCOMPARE(p.workspace.source(1)->title, std::string("Target to Source"));
        QCOMPARE(p.workspace.source(1)->imageWidth, 33);
        QCOMPARE(p.tabTitles().count("Target to Source"), 1);
        QCOMPARE(p.sources.window(2), nullptr);
    }

    void reloadEveryKindThroughTheSourceWindow()
    {
        SourceProgram p;
        const std::string path = p.writeBmp("file.bmp", 12, 8);
        QCOMPARE(p.openImage(path), OpenResult::Created);
        QVERIFY(p.addSource(20, 20));
        auto reload = [&](int number) {
            QVERIFY(p.sources.window(number));
            QAction* action = p.sources.window(number)->findChild<QAction*>("reload");
            QVERIFY(action && action->isEnabled());
            action->trigger();
        };
        // A file: loaded again from disk.
        p.writeBmp("file.bmp", 14, 8);
        reload(1);
        QCOMPARE(p.workspace.source(1)->imageWidth, 14);
        QCOMPARE(p.sources.view(1)->areaOperationCount(), -1);

        // A pasted image: the clipboard again, with its notice.
        p.platform->clipboard = blockOf(solid(4, 4, BgrColour {}));
        p.app.alignWindow()->updateActions();
        p.app.alignWindow()->paste()->trigger();
        QCOMPARE(p.workspace.sourceCount, 3);
        p.platform->clipboard = blockOf(solid(6, 5, BgrColour { 9, 9, 9 }));
        p.platform->expectMessage(kReinstateClipboardText);
        reload(3);
        QCOMPARE(p.workspace.source(3)->imageWidth, 6);

        // A target copy: asked first.
        p.workspace.targetDoc.targetImage = solid(21, 3, BgrColour {}).dib->clone();
        p.workspace.source(2)->sourceKind = kSourceTargetCopy;
        p.platform->expectMessage(kCopyTargetAgainQuestion, MessageAnswer::Yes);
        reload(2);
        QCOMPARE(p.workspace.source(2)->imageWidth, 21);

        // A text: the entry on the current text, with its notice.
        p.workspace.source(2)->sourceKind = kSourceText;
        p.workspace.source(2)->textBuffer = "ab\r\n";
        p.platform->expectMessage(kRevertTextText);
        withTextEntry([](text_entry* dialog) {
            QCOMPARE(dialog->field()->toPlainText(), QString("ab"));
            QVERIFY(dialog->findChild<QPushButton*>("tryText"));
            click(dialog, "ok");
        });
        reload(2);
        QCOMPARE(p.workspace.source(2)->imageWidth, 32);
        QCOMPARE(p.sources.window(2)->windowTitle(), QString("Text"));
    }
};

QTEST_MAIN(TextSourcesTest)
#include "test_text_sources.moc"
