#include "Widgets/SFQTDateTimeCtrl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinStyles.h"

CSFQTDateTimeCtrl::CSFQTDateTimeCtrl(ISFDateTimeCtrlEvent* handler, int dateMode)
    : QDateTimeEdit(nullptr), CSFDateTimeCtrl(handler), m_dateMode(dateMode)
{
    setDisplayFormat(dateMode ? "yyyy-MM-dd" : "h:mm:ss");
    setWrapping(true);
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(this, &QDateTimeEdit::dateTimeChanged, this, &CSFQTDateTimeCtrl::OnDateTimeChanged);
}

int CSFQTDateTimeCtrl::Create(DWORD, const tagRECT& rect, void* parent, UINT id)
{
    setGeometry(SFQTRectFromExclusive(rect));
    setParent(static_cast<QWidget*>(parent));
    m_controlId = static_cast<int>(id);
    return 1;
}

QString CSFQTDateTimeCtrl::SkinStyleSheet(const ImageDateTimeStyle& skin)
{
    auto rule = [](const char* text, const std::wstring& image) {
        return QString::fromLatin1(text) + SFQTStyleSheetImage(image) + ";}";
    };
    return rule("QDateTimeEdit { padding: 0 8px; border-image: ", skin.str1) +
           rule("QDateTimeEdit::up-button {width: 21px; border-image: ", skin.str6) +
           rule("QDateTimeEdit::up-button:hover {border-image: ", skin.str6) +
           rule("QDateTimeEdit::up-button:pressed {border-image: ", skin.str8) +
           rule("QDateTimeEdit::up-button:disabled {border-image: ", skin.str9) +
           rule("QDateTimeEdit::down-button {width: 21px; border-image: ", skin.str2) +
           rule("QDateTimeEdit::down-button:hover {border-image: ", skin.str2) +
           rule("QDateTimeEdit::down-button:pressed {border-image: ", skin.str4) +
           rule("QDateTimeEdit::down-button:disabled {border-image: ", skin.str5);
}

int CSFQTDateTimeCtrl::SetSkin(ImageDateTimeStyle* skin)
{
    if (!skin)
        return 0;
    setStyleSheet(SkinStyleSheet(*skin));
    return 1;
}

void CSFQTDateTimeCtrl::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void CSFQTDateTimeCtrl::GetWindowRect(tagRECT* rect)
{
    if (rect)
        *rect = SFQTInclusiveRect(this->rect());
}

int CSFQTDateTimeCtrl::GetTime(_SF_SYSTEMTIME* value) const
{
    if (!value)
        return 0;
    const QTime shown = time();
    value->wHour = static_cast<WORD>(shown.hour());
    value->wMinute = static_cast<WORD>(shown.minute());
    value->wSecond = static_cast<WORD>(shown.second());
    return 1;
}

int CSFQTDateTimeCtrl::GetDate(_SF_SYSTEMTIME* value) const
{
    if (!value)
        return 0;
    const QDate shown = date();
    value->wYear = static_cast<WORD>(shown.year());
    value->wMonth = static_cast<WORD>(shown.month());
    value->wDay = static_cast<WORD>(shown.day());
    return 1;
}

int CSFQTDateTimeCtrl::SetTime(_SF_SYSTEMTIME* value)
{
    if (!value)
        return 0;
    const QTime wanted(value->wHour, value->wMinute, value->wSecond, 0);
    if (!wanted.isValid())
        return 0;
    setTime(wanted);
    return 1;
}

int CSFQTDateTimeCtrl::SetDate(_SF_SYSTEMTIME* value)
{
    if (!value)
        return 0;
    const QDate wanted(value->wYear, value->wMonth, value->wDay);
    if (!wanted.isValid())
        return 0;
    setDate(wanted);
    return 1;
}

namespace {

int MaximumOf(QDateTimeEdit::Section section)
{
    switch (section) {
    case QDateTimeEdit::HourSection: return 23;
    case QDateTimeEdit::MinuteSection:
    case QDateTimeEdit::SecondSection: return 59;
    case QDateTimeEdit::MonthSection: return 12;
    case QDateTimeEdit::DaySection: return 31;
    default: return 9999;
    }
}

bool IsModifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

}  // namespace

// A time is typed as it is written: a digit typed over the whole text goes
// into its first field (the text alone would be refused, and only the
// fields after the next separator would take digits), and the separator
// typed after a field that was complete, and so was left already, is not
// taken as a step to the field after the next; any other separator typed
// selects the next field.
void CSFQTDateTimeCtrl::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool digit = typed.size() == 1 && typed.at(0).isDigit();
    if (IsModifier(event->key())) {  // the shift of a separator, for one
        QDateTimeEdit::keyPressEvent(event);
        return;
    }
    const bool separator = typed == ":" || typed == "-";
    if (separator && !m_leftByDigit && currentSectionIndex() + 1 < sectionCount()) {
        const int next = currentSectionIndex() + 1;
        CommitTyped();
        setSelectedSection(sectionAt(next));
    }
    if (separator) {
        m_leftByDigit = false;
        event->accept();
        return;
    }
    if (digit && lineEdit()->hasSelectedText() && lineEdit()->selectedText() == lineEdit()->text())
        setSelectedSection(sectionAt(0));
    if (digit && !TakesDigit(typed.at(0))) {
        QApplication::beep();
        event->accept();
        return;
    }
    const Section before = currentSection();
    QDateTimeEdit::keyPressEvent(event);
    // A first digit no second one can follow stays in its field: the next
    // digit is refused there, not taken by the field after it.
    if (digit && currentSection() != before && m_typed.size() == 1) {
        setSelectedSection(before);
        m_leftByDigit = false;
        return;
    }
    m_leftByDigit = digit && currentSection() != before;
    if (currentSection() != before)
        m_typed.clear();
}

// A field left with fewer digits than it shows takes them as its value; a
// field nothing was typed into since (a Tab's focus change commits a second
// time, a click enters it again) keeps its value.
void CSFQTDateTimeCtrl::CommitTyped()
{
    if (m_typed.isEmpty())
        return;
    const int typed = m_typed.toInt();
    m_typed.clear();
    if (m_typedSection != currentSection())
        return;
    QDate day = date();
    QTime clock = time();
    switch (m_typedSection) {
    case HourSection: clock.setHMS(typed, clock.minute(), clock.second()); break;
    case MinuteSection: clock.setHMS(clock.hour(), typed, clock.second()); break;
    case SecondSection: clock.setHMS(clock.hour(), clock.minute(), typed); break;
    case DaySection: day.setDate(day.year(), day.month(), typed); break;
    case MonthSection: day.setDate(day.year(), typed, day.day()); break;
    default: return;
    }
    if (day.isValid() && clock.isValid())
        setDateTime(QDateTime(day, clock));
}

bool CSFQTDateTimeCtrl::focusNextPrevChild(bool next)
{
    CommitTyped();
    return QDateTimeEdit::focusNextPrevChild(next);
}

void CSFQTDateTimeCtrl::focusOutEvent(QFocusEvent* event)
{
    CommitTyped();
    QDateTimeEdit::focusOutEvent(event);
}

// The digits typed into a field count from its first; one that would take
// it past its largest value is refused, so it never turns into another time.
bool CSFQTDateTimeCtrl::TakesDigit(QChar digit)
{
    if (currentSection() != m_typedSection) {
        m_typedSection = currentSection();
        m_typed.clear();
    }
    const QString candidate = m_typed + digit;
    if (candidate.toInt() > MaximumOf(m_typedSection))
        return false;
    m_typed = candidate;
    return true;
}

void CSFQTDateTimeCtrl::OnDateTimeChanged(const QDateTime& value)
{
    if (!m_pHandler)
        return;
    _SF_SYSTEMTIME changed{};
    changed.wYear = static_cast<WORD>(value.date().year());
    changed.wMonth = static_cast<WORD>(value.date().month());
    changed.wDay = static_cast<WORD>(value.date().day());
    changed.wHour = static_cast<WORD>(value.time().hour());
    changed.wMinute = static_cast<WORD>(value.time().minute());
    changed.wSecond = static_cast<WORD>(value.time().second());
    m_pHandler->DTN_DateTimeChange(static_cast<UINT>(m_controlId), changed);
}
