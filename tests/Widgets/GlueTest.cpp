#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <cstring>

#include "Support/Fifo.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

TEST(GlueTest, ApplicationMakesTheProgramFolderCurrent)
{
    QDir::setCurrent(QDir::tempPath());
    SFSetApplication(qApp);
    EXPECT_EQ(SFGetApplication(), qApp);
    EXPECT_EQ(QDir::currentPath(), QCoreApplication::applicationDirPath());
}

TEST(GlueTest, ScreenRectUsesLastPixels)
{
    SFSetApplication(qApp);
    tagRECT rect{1, 1, 1, 1};
    SFGetScreenRect(&rect);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(rect.left, screen.left());
    EXPECT_EQ(rect.right, screen.width() - 1);
    EXPECT_EQ(rect.bottom, screen.height() - 1);
}

TEST(GlueTest, MissingOrNonRegularStyleSheetKeepsTheCurrentOne)
{
    SFSetApplication(qApp);
    QTemporaryDir dir;
    const QString path = dir.path() + "/style.css";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("QWidget { color: #123456; }");
    file.close();
    SFLoadStyleSheet(path.toStdWString());
    EXPECT_EQ(qApp->styleSheet(), QStringLiteral("QWidget { color: #123456; }"));
    SFLoadStyleSheet(L"/no/such/Lumivex_Style.css");
    EXPECT_EQ(qApp->styleSheet(), QStringLiteral("QWidget { color: #123456; }"));
    EXPECT_EQ(SFGetLastStyleSheetPath(), QStringLiteral("/no/such/Lumivex_Style.css"));
    const QString fifoPath = dir.path() + "/fifo.css";
    Fifo fifo(fifoPath.toStdString());
    ASSERT_TRUE(fifo.IsValid());
    EXPECT_TRUE(ReturnsHereWithoutBlocking(fifo, [&] { SFLoadStyleSheet(fifoPath.toStdWString()); }));
    EXPECT_EQ(qApp->styleSheet(), QStringLiteral("QWidget { color: #123456; }"));
    qApp->setStyleSheet(QString());
}

// A picture a user-edited style sheet names that is a FIFO is left out; a
// regular one stays.
TEST(GlueTest, StyleSheetPicturesThatWouldBlockAreLeftOut)
{
    SFSetApplication(qApp);
    QTemporaryDir dir;
    const QString fifoPath = dir.path() + "/back.png";
    Fifo fifo(fifoPath.toStdString());
    ASSERT_TRUE(fifo.IsValid());
    const QString regular = dir.path() + "/frame.png";
    QImage(4, 4, QImage::Format_RGB32).save(regular);
    const QString path = dir.path() + "/style.css";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("QWidget { background-image: url(" + fifoPath + "); }\nQLabel { image: url(" + regular +
                "); }")
                   .toUtf8());
    file.close();
    EXPECT_TRUE(ReturnsHereWithoutBlocking(fifo, [&] {
        SFLoadStyleSheet(path.toStdWString());
        QWidget widget;
        widget.setAttribute(Qt::WA_StyledBackground);
        widget.resize(20, 20);
        widget.grab();
    }));
    EXPECT_EQ(qApp->styleSheet().toStdString(),
              ("QWidget { background-image: none; }\nQLabel { image: url(" + regular + "); }").toStdString());
    qApp->setStyleSheet(QString());
}

TEST(GlueTest, SkinPathIsJoinedWithoutSeparator)
{
    SFSetSkinPath(L"/opt/lumivex/Skin/");
    EXPECT_EQ(SFQTSkinFilePath(L"Frame.png"), QStringLiteral("/opt/lumivex/Skin/Frame.png"));
    SFSetSkinPath(L"");
}

TEST(GlueTest, Local8BitCopyIsBoundedAndTerminated)
{
    char buffer[6];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(SFUtf8ToLocal8Bit("abcdefgh", buffer, sizeof buffer), 5u);
    EXPECT_STREQ(buffer, "abcde");
    // A cut never splits a character: "ab" + U+00E9 (2 bytes) + "cd" in 4 bytes.
    char small[4];
    EXPECT_EQ(SFUtf8ToLocal8Bit("ab\xC3\xA9" "cd", small, sizeof small), 2u);
    EXPECT_STREQ(small, "ab");
    EXPECT_EQ(SFUtf8ToLocal8Bit(nullptr, buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(SFUtf8ToLocal8Bit("x", buffer, 0), 0u);
}

TEST(GlueTest, WideBufferCopyIsBounded)
{
    wchar_t out[3];
    EXPECT_EQ(SFQTCopyToWideBuffer(QStringLiteral("h\u00e9llo"), out, 3), 2);
    EXPECT_EQ(std::wstring(out), L"h\u00e9");
}

TEST(GlueTest, KindsWithoutAQtFormCreateNothing)
{
    EXPECT_EQ(SFCreateTabCtrl(nullptr), nullptr);
    EXPECT_EQ(SFCreateMonthCalCtrl(nullptr), nullptr);
    EXPECT_EQ(SFCreateIPAddressCtrl(nullptr), nullptr);
    EXPECT_EQ(SFCreateControlBar(nullptr), nullptr);
    EXPECT_FALSE(SFCreateWndTabBar(nullptr));
    EXPECT_EQ(SFCreatePlayControlPanel(nullptr), nullptr);
    EXPECT_EQ(SFCreatePictureEx(nullptr), nullptr);
}

TEST(GlueTest, AbstractDefaultsAreHarmless)
{
    struct Handler : ISFDialogEvent {
        void Dlg_OnInitDialog(int) override {}
    } handler;
    CSFDialog dialog(&handler);
    EXPECT_EQ(dialog.DoModalDlg(), -1);
    EXPECT_EQ(dialog.KillDlgTimer(1), 0);
    CSFComboBox combo(nullptr);
    EXPECT_EQ(combo.GetCurSel(), -1);
    CSFVideoWindow grid(nullptr);
    EXPECT_EQ(grid.GetCurrentSubWinIndex(), -1);
    EXPECT_EQ(grid.GetSubWinIndexByID(3), -1);
    CSFPlayProgressPanel panel(nullptr);
    EXPECT_EQ(panel.GetChannelRecord(1), nullptr);
    struct Tree : ISFTreeCtrlEvent {} tree;
    EXPECT_EQ(tree.OnItemClick(nullptr, 0), 1);
}

}  // namespace

namespace {

// Radio clicks arrive as (checked, id, point), the order every caller uses.
struct RadioOwner : ISFRadioBoxEvent {
    void RADIO_OnClicked(int checked, int id, tagPOINT point) override
    {
        seenChecked = checked;
        seenId = id;
        seenX = point.x;
    }
    int seenChecked = -1, seenId = -1, seenX = -1;
};

TEST(GlueTest, RadioClickArgumentsAreCheckedThenId)
{
    RadioOwner owner;
    ISFRadioBoxEvent& events = owner;
    events.RADIO_OnClicked(1, 1042, tagPOINT{3, 4});
    EXPECT_EQ(owner.seenChecked, 1);
    EXPECT_EQ(owner.seenId, 1042);
    EXPECT_EQ(owner.seenX, 3);
}

}  // namespace
