#pragma once

#include <QAbstractScrollArea>
#include <QDateTime>
#include <QImage>

#include "gui/CCommandTarget.h"
#include "preview/CImageKit.h"
#include "preview/CImageZoom.h"

class CProfile;

// The image mode of the preview pane: one picture drawn fitted to the pane, at its own size, reduced or
// enlarged in tenths, optionally sharpened after scaling, on white; it scrolls with the arrow and page
// keys and handles the image commands. The pane hosts it and shows it while it is in image mode; it asks
// onCommand / onUpdateCommand only then (every image command is enabled here).
//
// The "View" settings "ImagePure", "WindowSize" and "PureLevel" are read at construction; "ImagePure" and
// "WindowSize" are written by their commands.
class CImageView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    CImageView(CProfile& profile, QWidget* parent = nullptr);

    // The image type test of the preview dispatch: an extension of the image layer, or one that a loaded
    // image plug-in accepts.
    static bool isImageFile(const QString& path);
    // ".wmf", ".emf" and ".dxf": these reach the image mode too, where only a plug-in reads them.
    static bool isVectorFile(const QString& path);

    // Loads and shows the picture; false when it cannot be read (the caller then says "表示できません"),
    // leaving the mode with no picture. Showing the same unchanged file again keeps what is decoded.
    bool showImage(const QString& path);
    // Drops the picture.
    void clear();

    bool onCommand(int id);
    bool onUpdateCommand(int id, CCommandState& state);

    const CImageZoom& zoom() const { return m_zoom; }
    bool imagePure() const { return m_imagePure; }
    int pureLevel() const { return m_pureLevel; }
    const CImageKit& kit() const { return m_kit; }
    bool hasImage() const { return !m_kit.isNull(); }
    // The picture's displayed size, and where it is drawn in the viewport (scrolling included).
    QSize displayedSize() const;
    QRect imageRect() const;
    // The scroll extent: what the scroll bars cover.
    QSize extent() const { return m_extent; }
    // Bytes of pixels the image mode holds: the decoded picture and the drawn viewport.
    qint64 heldBytes() const;

Q_SIGNALS:
    // The pane passes these on to all views (8: the preview is read again, 0: repaint).
    void hintRequested(int hint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Sets the scroll extent to the displayed size; after a zoom or fit command a picture narrower than
    // the pane adds half the free width.
    void resetExtent(bool afterZoomCommand = false);
    // Makes sure the full picture is decoded (a fitted picture may be held at a reduced size).
    bool ensureFullImage();
    // Decodes again when the pane grew past the reduced picture that fit mode holds.
    void refitIfNeeded();
    void zoomChanged(int hint);
    void customZoom(bool reduce);
    void invalidateRendering();

    CProfile& m_profile;
    CImageKit m_kit;
    CImageZoom m_zoom;
    bool m_imagePure = false;
    int m_pureLevel = 10;
    QSize m_extent;
    QDateTime m_fileTime;
    qint64 m_fileSize = -1;
    // The viewport as last drawn: the scaled (and sharpened) visible part of the picture.
    QImage m_rendered;
    QRect m_renderedArea;  // the area of the displayed picture that m_rendered shows
    QSize m_renderedFor;   // the displayed size it was drawn for
    bool m_renderedPure = false;
    bool m_refitPending = false;
};
