#include "Widgets/SFQTFrameSkin.h"

#include <QPainter>

#include <algorithm>

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTSkinImageCache.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"

namespace {

QRect InclusiveRect(const std::wstring& text)
{
    const tagRECT r = SFQTParseSkinRectInclusiveW(text.c_str());
    return QRect(QPoint(SFQTLimitSkinValue(r.left), SFQTLimitSkinValue(r.top)), QPoint(SFQTLimitSkinValue(r.right), SFQTLimitSkinValue(r.bottom)));
}

QSize PairToSize(const std::wstring& text)
{
    const tagPOINT p = SFQTParseSkinPointW(text.c_str());
    return QSize(SFQTLimitSkinValue(p.x), SFQTLimitSkinValue(p.y));
}

const std::wstring& FieldOf(const DialogStyle& style, int index)
{
    return *style.Field(index);
}

constexpr int kPieceFields[SFQTFrameSkin::PieceCount] = {4, 6, 8, 10, 12, 14, 26, 24, 22, 16, 18, 20};
// First field of the three source rectangles, by button 1..4.
constexpr int kSourceFields[SFQTFrameSkin::kButtonCount] = {37, 34, 31, 28};
constexpr int kDestFields[SFQTFrameSkin::kButtonCount] = {44, 43, 42, 41};
constexpr int kStateImageFields[SFQTFrameSkin::kButtonCount] = {58, 64, 61, 67};

int ParseAlignment(const std::wstring& text)
{
    if (text == L"center")
        return 1;
    if (text == L"right")
        return 2;
    return 0;
}

// Draws a piece at its own size; a null piece draws nothing.
void DrawPiece(QPainter& painter, QPoint at, const QPixmap& image, const QRect& piece)
{
    if (piece.isValid())
        painter.drawPixmap(at, image, piece);
}

// Draws a piece tiled from `from` while the running coordinate stays below `limit`.
void TileHorizontally(QPainter& painter, const QPixmap& image, const QRect& piece, int from, int limit, int y)
{
    if (!piece.isValid())
        return;
    for (int x = from; x < limit; x += piece.width())
        painter.drawPixmap(QPoint(x, y), image, piece);
}

void TileVertically(QPainter& painter, const QPixmap& image, const QRect& piece, int from, int limit, int x)
{
    if (!piece.isValid())
        return;
    for (int y = from; y < limit; y += piece.height())
        painter.drawPixmap(QPoint(x, y), image, piece);
}

}  // namespace

void SFQTFrameSkin::Clear()
{
    *this = SFQTFrameSkin();
    initialSize = QSize(0, 0);
}

QPixmap SFQTLoadSkinPixmap(const QString& folder, const std::wstring& name)
{
    if (name.empty())
        return QPixmap();
    return CSFQTSkinImageCache::Instance().Get(folder + SFQTStringFromWide(name.c_str()), "png");
}

void SFQTFrameSkin::Parse(const DialogStyle& style, bool withDialogExtras)
{
    const QString folder = SFQTGetSkinPath();
    if (!FieldOf(style, 57).empty())
        initialSize = PairToSize(FieldOf(style, 57));
    cornerRadii = QPoint(PairToSize(FieldOf(style, 56)).width(), PairToSize(FieldOf(style, 56)).height());
    backgroundColor = SFQTParseSkinColorW(FieldOf(style, 3).c_str());
    backgroundImage = SFQTLoadSkinPixmap(folder, FieldOf(style, 1));
    frameImage = SFQTLoadSkinPixmap(folder, FieldOf(style, 0));
    minimumSize = !FieldOf(style, 57).empty() ? initialSize : frameImage.size();
    for (int i = 0; i < PieceCount; ++i)
        pieces[i] = InclusiveRect(FieldOf(style, kPieceFields[i]));
    for (int b = 0; b < kButtonCount; ++b)
        for (int s = 0; s < 3; ++s)
            buttonSource[b][s] = InclusiveRect(FieldOf(style, kSourceFields[b] + s));
    if (withDialogExtras) {
        for (int b = 0; b < kButtonCount; ++b)
            for (int s = 0; s < 3; ++s)
                stateImages[b][s] = SFQTLoadSkinPixmap(folder, FieldOf(style, kStateImageFields[b] + s));
    }
    for (int b = 0; b < kButtonCount; ++b)
        buttonDest[b] = InclusiveRect(FieldOf(style, kDestFields[b]));
    caption = InclusiveRect(FieldOf(style, 54));
    if (withDialogExtras)
        titleAlign = ParseAlignment(FieldOf(style, 53));
}

QPixmap SFQTComposeFramePixmap(const SFQTFrameSkin& skin, int W, int H)
{
    QPixmap target(std::max(W, 1), std::max(H, 1));
    target.fill(Qt::transparent);
    if (W <= 0 || H <= 0)
        return target;
    QPainter painter(&target);
    if (!skin.backgroundImage.isNull())
        painter.drawPixmap(QRect(0, 0, W, H), skin.backgroundImage);
    else
        painter.fillRect(QRect(0, 0, W, H), skin.backgroundColor);

    const QPixmap& img = skin.frameImage;
    const auto& p = skin.pieces;
    using S = SFQTFrameSkin;
    const int T = p[S::TitleLeft].height();
    const int B = p[S::BottomLeft].height();

    DrawPiece(painter, QPoint(0, 0), img, p[S::TitleLeft]);
    TileHorizontally(painter, img, p[S::TitleMiddle], p[S::TitleLeft].width(), W - p[S::TitleRight].width(), 0);
    DrawPiece(painter, QPoint(W - p[S::TitleRight].width(), 0), img, p[S::TitleRight]);

    DrawPiece(painter, QPoint(0, T), img, p[S::LeftUpper]);
    TileVertically(painter, img, p[S::LeftMiddle], T + p[S::LeftUpper].height(),
                   H - B - p[S::LeftLower].height(), 0);
    DrawPiece(painter, QPoint(0, H - B - p[S::LeftLower].height()), img, p[S::LeftLower]);

    const int rightX = W - p[S::RightMiddle].width();
    DrawPiece(painter, QPoint(W - p[S::RightUpper].width(), T), img, p[S::RightUpper]);
    TileVertically(painter, img, p[S::RightMiddle], T + p[S::RightUpper].height(),
                   H - B - p[S::RightLower].height(), rightX);
    DrawPiece(painter, QPoint(W - p[S::RightLower].width(), H - B - p[S::RightLower].height()), img, p[S::RightLower]);

    DrawPiece(painter, QPoint(0, H - p[S::BottomLeft].height()), img, p[S::BottomLeft]);
    TileHorizontally(painter, img, p[S::BottomMiddle], p[S::BottomLeft].width(), W - p[S::BottomRight].width(),
                     H - p[S::BottomMiddle].height());
    DrawPiece(painter, QPoint(W - p[S::BottomRight].width(), H - p[S::BottomRight].height()), img, p[S::BottomRight]);
    return target;
}
