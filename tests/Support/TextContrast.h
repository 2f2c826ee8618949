#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

// How well the texts of a window stand out from what lies behind them, as
// the user sees it: each text widget is drawn within its window with its
// text and without, and the pixels the text changed are compared with the
// same pixels without it (WCAG contrast ratio, 1 to 21).
namespace TextContrast {

inline double Luminance(QColor colour)
{
    const auto channel = [](double value) {
        value /= 255.0;
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) + 0.0722 * channel(colour.blue());
}

inline double Ratio(QColor a, QColor b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The widget as drawn within its window.
inline QImage Drawn(QWidget* widget)
{
    QWidget* window = widget->window();
    return window->grab(QRect(widget->mapTo(window, QPoint(0, 0)), widget->size())).toImage();
}

// The strongest contrast between a text pixel and the ground behind it; 0
// when the text changes no pixel (it is covered or cut off: not on show).
inline double Strongest(const QImage& withText, const QImage& withoutText)
{
    if (withText == withoutText)
        return 0;
    double best = 1.0;
    for (int y = 0; y < std::min(withText.height(), withoutText.height()); ++y)
        for (int x = 0; x < std::min(withText.width(), withoutText.width()); ++x)
            best = std::max(best, Ratio(withText.pixelColor(x, y), withoutText.pixelColor(x, y)));
    return best;
}

// The weakest contrast of the texts of a tree's selected items; 0 when none
// is selected.
inline double OfSelectedItems(QTreeWidget* tree)
{
    double weakest = 0;
    for (QTreeWidgetItem* item : tree->selectedItems()) {
        const QString text = item->text(0);
        if (text.isEmpty())
            continue;
        const QImage with = Drawn(tree->viewport());
        item->setText(0, QString());
        const QImage without = Drawn(tree->viewport());
        item->setText(0, text);
        const double ratio = Strongest(with, without);
        weakest = weakest == 0 ? ratio : std::min(weakest, ratio);
    }
    return weakest;
}

// The contrast of the text a label, button, drop-down list, text field
// (the value of a spin box too) or a tree's selected items show; 0 when it
// shows none.
inline double OfText(QWidget* widget)
{
    if (auto* tree = qobject_cast<QTreeWidget*>(widget))
        return OfSelectedItems(tree);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        const QString text = edit->text();
        if (text.isEmpty())
            return 0;
        const QSignalBlocker quiet(edit);  // a spin box keeps its value
        const QImage with = Drawn(edit);
        edit->setText(QString());
        const QImage without = Drawn(edit);
        edit->setText(text);
        return Strongest(with, without);
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        const QString text = label->text();
        if (text.isEmpty())
            return 0;
        const QImage with = Drawn(label);
        label->setText(QString());
        const QImage without = Drawn(label);
        label->setText(text);
        return Strongest(with, without);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const QString text = button->text();
        if (text.isEmpty())
            return 0;
        const QImage with = Drawn(button);
        button->setText(QString());
        const QImage without = Drawn(button);
        button->setText(text);
        return Strongest(with, without);
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const int index = combo->currentIndex();
        if (index < 0 || combo->currentText().isEmpty())
            return 0;
        const QImage with = Drawn(combo);
        combo->setCurrentIndex(-1);
        const QImage without = Drawn(combo);
        combo->setCurrentIndex(index);
        return Strongest(with, without);
    }
    return 0;
}

// The texts on show below root whose contrast is under the least, each as
// "its text: ratio". Texts of disabled controls are left out: they need not
// be read.
inline std::vector<std::string> TooFaint(QWidget* root, double least = 4.5)
{
    std::vector<std::string> faint;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(root) || !widget->isEnabled())
            continue;
        const double ratio = OfText(widget);
        if (ratio > 0 && ratio < least) {
            QString text = widget->property("text").toString();
            if (auto* combo = qobject_cast<QComboBox*>(widget))
                text = combo->currentText();
            if (auto* tree = qobject_cast<QTreeWidget*>(widget); tree && !tree->selectedItems().empty())
                text = tree->selectedItems().front()->text(0);
            faint.push_back(text.toStdString() + ": " + std::to_string(ratio));
        }
    }
    return faint;
}

}  // namespace TextContrast
