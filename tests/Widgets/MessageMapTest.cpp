#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QWidget>

#include <string>
#include <vector>

#include "TestHandlers.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFEventBase.h"

namespace {

// An event object whose table covers ranges, duplicates and every kind.
class TableEvent : public CSFEventBase {
    SF_DECLARE_MESSAGE_MAP()
public:
    void First() { calls.push_back("first"); }
    void Second() { calls.push_back("second"); }
    void Range() { calls.push_back("range"); }
    void Notify(tagNMHDR* header, LRESULT* result)
    {
        calls.push_back("notify");
        seenHeader = header;
        if (result)
            *result = 42;
    }
    void Words(WPARAM w, LPARAM l) { calls.push_back("words:" + std::to_string(w) + ":" + std::to_string(l)); }
    void Timer9(WPARAM, LPARAM) { calls.push_back("t9"); }
    void CmdForKind3() { calls.push_back("cmd-kind1-on-ui"); }

    std::vector<std::string> calls;
    tagNMHDR* seenHeader = nullptr;
};

}  // namespace

SF_BEGIN_MESSAGE_MAP(TableEvent)
    SF_ON_COMMAND(10, First)
    SF_ON_COMMAND(10, Second)
    {WM_COMMAND, 0, 100, 200, SFSig_vv, 0, [](CSFEventBase* t, WPARAM, LPARAM) { static_cast<TableEvent*>(t)->Range(); }},
    {WM_COMMAND, 0, 0xFFFFFFF0u, 0xFFFFFFFFu, SFSig_vv, 0,
     [](CSFEventBase* t, WPARAM, LPARAM) { static_cast<TableEvent*>(t)->Range(); }},
    SF_ON_NOTIFY(0x113, 20, Notify)
    SF_ON_UI_MESSAGE(5, Words)
    {WM_COMMAND, 0, 30, 30, SFSig_vwl, 0, [](CSFEventBase* t, WPARAM w, LPARAM l) { static_cast<TableEvent*>(t)->Words(w, l); }},
    {WM_TIMER, WM_TIMER, 7, 7, SFSig_vv, 0, [](CSFEventBase* t, WPARAM, LPARAM) { static_cast<TableEvent*>(t)->CmdForKind3(); }},
    SF_ON_UI_MESSAGE(9, Timer9)
SF_END_MESSAGE_MAP()

namespace {

class EmptyEvent : public CSFEventBase {
    SF_DECLARE_MESSAGE_MAP()
};

}  // namespace

SF_BEGIN_MESSAGE_MAP(EmptyEvent)
SF_END_MESSAGE_MAP()

namespace {

const SF_MSGMAP_ENTRY* Entries(const CSFEventBase& e)
{
    return e.GetSFMessageMap()->lpEntries;
}

TEST(MessageMapTest, LookupTable)
{
    TableEvent e;
    struct Case {
        UINT message, code, id;
        bool found;
        UINT expectedFirst;
    };
    const Case cases[] = {
        {WM_COMMAND, 0, 10, true, 10},       {WM_COMMAND, 0, 100, true, 100},
        {WM_COMMAND, 0, 200, true, 100},     {WM_COMMAND, 0, 150, true, 100},
        {WM_COMMAND, 0, 99, false, 0},       {WM_COMMAND, 0, 201, false, 0},
        {WM_COMMAND, 1, 10, false, 0},       {WM_NOTIFY, 0x113, 20, true, 20},
        {WM_COMMAND, 0, 0xFFFFFFFFu, true, 0xFFFFFFF0u}, {WM_TIMER, WM_TIMER, 5, true, 5},
        {WM_TIMER, 0, 5, false, 0},
    };
    for (const auto& c : cases) {
        const SF_MSGMAP_ENTRY* entry = SFFindMessageMapEntry(Entries(e), c.message, c.code, c.id);
        EXPECT_EQ(entry != nullptr, c.found) << c.message << "/" << c.code << "/" << c.id;
        if (entry && c.found) {
            EXPECT_EQ(entry->nID, c.expectedFirst);
        }
    }
}

TEST(MessageMapTest, FirstMatchWins)
{
    TableEvent e;
    e.Dlg_OnCommand(10);
    e.Dlg_OnCommand(10);
    EXPECT_EQ(e.calls, (std::vector<std::string>{"first", "first"}));
}

TEST(MessageMapTest, EndEntryStopsTheWalk)
{
    const SF_MSGMAP_ENTRY entries[] = {
        {0, 0, 0, 0, SFSig_End, 0, nullptr},
        {WM_COMMAND, 0, 1, 1, SFSig_vv, 0, [](CSFEventBase*, WPARAM, LPARAM) {}},
    };
    EXPECT_EQ(SFFindMessageMapEntry(entries, WM_COMMAND, 0, 1), nullptr);
    EXPECT_EQ(SFFindMessageMapEntry(nullptr, WM_COMMAND, 0, 1), nullptr);
}

TEST(MessageMapTest, DispatchHonoursSignatureKinds)
{
    TableEvent e;
    e.Dlg_OnCommand(30);  // kind 3 under a command: ignored
    e.OnUIMessage(WM_TIMER, 7, 0, 0);  // kind 1 under a UI message: ignored
    EXPECT_TRUE(e.calls.empty());
    e.OnUIMessage(0x10113, 5, 11, 12);  // only the low 16 bits of the code count
    tagNMHDR header{};
    LRESULT result = 0;
    e.OnNotifyClick(0x10113, 20, &header, &result);
    EXPECT_EQ(e.calls, (std::vector<std::string>{"words:11:12", "notify"}));
    EXPECT_EQ(e.seenHeader, &header);
    EXPECT_EQ(result, 42);
}

TEST(MessageMapTest, TimerIdListEndsWithMinusOne)
{
    TableEvent e;
    int* ids = e.GetThisMessageIDs();
    ASSERT_NE(ids, nullptr);
    EXPECT_EQ(ids[0], 5);
    EXPECT_EQ(ids[1], 7);
    EXPECT_EQ(ids[2], 9);
    EXPECT_EQ(ids[3], -1);
    EXPECT_EQ(e.GetThisMessageIDs(), ids);
}

TEST(MessageMapTest, EmptyTableFindsNothing)
{
    EmptyEvent e;
    EXPECT_EQ(e.GetThisMessageIDs(), nullptr);
    EXPECT_EQ(SFFindMessageMapEntry(Entries(e), WM_COMMAND, 0, 0), nullptr);
    e.Dlg_OnCommand(0);
    e.OnUIMessage(WM_TIMER, 0, 0, 0);
}

TEST(MessageMapTest, DialogEventDefaults)
{
    struct Minimal : ISFDialogEvent {
        void Dlg_OnInitDialog(int) override {}
    } minimal;
    EXPECT_EQ(minimal.Dlg_Close(), 0);
    EXPECT_EQ(minimal.GetSFMessageMap(), nullptr);
    EXPECT_EQ(minimal.GetThisMessageIDs(), nullptr);
    minimal.Dlg_OnCommand(1);  // a null map does nothing
}

class CustomEventSink : public QWidget {
public:
    explicit CustomEventSink(CSFEventBase* handler) : m_handler(handler) {}
    int received = 0;

protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() != CSFCustomEvent::EventType())
            return;
        ++received;
        SFDispatchCustomEvent(m_handler, *static_cast<CSFCustomEvent*>(event));
    }

private:
    CSFEventBase* m_handler;
};

TEST(MessageMapTest, SendDeliversAtOncePostDeliversLater)
{
    TableEvent e;
    CustomEventSink sink(&e);
    SFSendMessage(&sink, 5, 77);
    EXPECT_EQ(e.calls, (std::vector<std::string>{"words:77:5"}));
    SFPostMessage(&sink, 5, 78);
    EXPECT_EQ(e.calls.size(), 1u);
    QCoreApplication::sendPostedEvents(&sink);
    EXPECT_EQ(e.calls.back(), "words:78:5");
    EXPECT_EQ(sink.received, 2);
}

TEST(MessageMapTest, PostToNullOrNonWidgetDoesNothing)
{
    QObject plain;
    SFPostMessage(nullptr, 5, 1);
    SFPostMessage(&plain, 5, 1);
    QCoreApplication::sendPostedEvents(&plain);
    SUCCEED();
}

TEST(MessageMapTest, PointerSizedWordsSurvive)
{
    TableEvent e;
    CustomEventSink sink(&e);
    const WPARAM big = static_cast<WPARAM>(0x1234567890ull);
    SFSendMessage(&sink, 5, big);
    EXPECT_EQ(e.calls.back(), "words:" + std::to_string(big) + ":5");
}

TEST(MessageMapTest, CustomEventTypeIsOwnAndStable)
{
    const QEvent::Type type = CSFCustomEvent::EventType();
    EXPECT_GE(static_cast<int>(type), static_cast<int>(QEvent::User));
    CSFCustomEvent event(WM_COMMAND, 0, 1, 2);
    EXPECT_EQ(event.type(), type);
}

}  // namespace
