#pragma once

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>

struct DialogStyle;

// Parsed frame skin of a frameless top-level window: frame pieces cut from
// one frame image, four title-bar buttons in three states, caption area.
struct SFQTFrameSkin {
    enum Piece {
        TitleLeft, TitleMiddle, TitleRight,
        LeftUpper, LeftMiddle, LeftLower,
        RightUpper, RightMiddle, RightLower,
        BottomLeft, BottomMiddle, BottomRight,
        PieceCount
    };
    enum ButtonState { StateNormal = 0, StateOver = 1, StateDown = 2 };
    static constexpr int kButtonCount = 4;  // 1 close, 2 maximize, 3 minimize, 4 no action

    QPixmap frameImage;       // null when absent
    QPixmap backgroundImage;  // null when absent
    QSize initialSize{-1, -1};
    QSize minimumSize{0, 0};
    QPoint cornerRadii{0, 0};
    QColor backgroundColor{0, 0, 0};
    std::array<QRect, PieceCount> pieces{};
    // [button - 1][state]
    std::array<std::array<QRect, 3>, kButtonCount> buttonSource{};
    std::array<QRect, kButtonCount> buttonDest{};
    QRect caption;
    int titleAlign = 0;  // 0 left, 1 center, 2 right
    std::array<std::array<QPixmap, 3>, kButtonCount> stateImages{};

    // Every rectangle null, every image dropped, sizes 0.
    void Clear();
    // Reads the record (skin folder + names for images). The state images
    // and title alignment are read only when withDialogExtras is set.
    void Parse(const DialogStyle& style, bool withDialogExtras);
};

// Loads a skin image as PNG; null for an empty name or a file that does not load.
QPixmap SFQTLoadSkinPixmap(const QString& folder, const std::wstring& name);

// Builds the window background of W x H from the frame pieces.
QPixmap SFQTComposeFramePixmap(const SFQTFrameSkin& skin, int width, int height);
