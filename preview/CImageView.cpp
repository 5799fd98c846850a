#include "preview/CImageView.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "dialogs/CZoomDlg.h"
#include "gui/CWaitCursor.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "platform/CProfile.h"
#include "preview/CSPIControl.h"

namespace {

constexpr const char* kView = "View";

int tenthsOf(int id, int first) {
    return 20 + (id - first) * 10;
}

bool isListedTenths(int tenths) {
    return tenths >= 20 && tenths <= 100 && tenths % 10 == 0;
}

}  // namespace

CImageView::CImageView(CProfile& profile, QWidget* parent) : QAbstractScrollArea(parent), m_profile(profile) {
    setObjectName("ImageView");
    setAccessibleName(QStringLiteral("画像"));
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(true);
    QPalette white = viewport()->palette();
    white.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(white);

    m_imagePure = m_profile.readInt(kView, "ImagePure", 0) != 0;
    m_pureLevel = m_profile.readInt(kView, "PureLevel", 10);
    if (m_profile.readInt(kView, "WindowSize", 1) != 0)
        m_zoom.setFit();
    else
        m_zoom.setOwnSize();
}

bool CImageView::isImageFile(const QString& path) {
    const QString extension = CImageKit::extensionOf(path);
    if (extension.isEmpty())
        return false;
    if (CImageKit::isKitExtension(extension))
        return true;
    const CSPIControl& host = CSPIControl::instance();
    return host.formatTotal() > 0 && host.isSupportedExtension(("." + extension).toStdString());
}

bool CImageView::isVectorFile(const QString& path) {
    return CImageKit::isVectorExtension(CImageKit::extensionOf(path));
}

bool CImageView::showImage(const QString& path) {
    const QFileInfo info(path);
    const bool unchanged = !m_kit.isNull() && path == m_kit.path() && info.lastModified() == m_fileTime &&
                           info.size() == m_fileSize;
    invalidateRendering();
    if (unchanged) {
        if (!m_zoom.isFit())
            ensureFullImage();
    } else {
        CWaitCursor wait;
        const bool loaded = m_kit.load(path, m_zoom.isFit() ? viewport()->size() : QSize());
        m_fileTime = info.lastModified();
        m_fileSize = loaded ? info.size() : -1;
        if (!loaded) {
            setAccessibleDescription(QStringLiteral("表示できません"));
            resetExtent();
            viewport()->update();
            return false;
        }
    }
    // What a screen reader says of the pane: the file and the picture's size.
    setAccessibleDescription(QStringLiteral("%1 %2 x %3").arg(info.fileName()).arg(m_kit.width()).arg(m_kit.height()));
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    resetExtent();
    refitIfNeeded();
    viewport()->update();
    return true;
}

void CImageView::clear() {
    m_kit.clear();
    setAccessibleDescription(QString());
    m_fileSize = -1;
    invalidateRendering();
    resetExtent();
    viewport()->update();
}

QSize CImageView::displayedSize() const {
    if (m_kit.isNull())
        return QSize(0, 0);
    return m_zoom.displayedSize(m_kit.size(), viewport()->size());
}

QRect CImageView::imageRect() const {
    const QSize displayed = displayedSize();
    const int clientWidth = viewport()->width();
    const int x = displayed.width() < clientWidth ? (clientWidth - displayed.width()) / 2
                                                  : -horizontalScrollBar()->value();
    return QRect(QPoint(x, -verticalScrollBar()->value()), displayed);
}

qint64 CImageView::heldBytes() const {
    return m_kit.image().sizeInBytes() + m_rendered.sizeInBytes();
}

void CImageView::resetExtent(bool afterZoomCommand) {
    m_extent = displayedSize();
    const int clientWidth = viewport()->width();
    if (afterZoomCommand && m_zoom.mode() != CImageZoom::Mode::OwnSize && m_extent.width() < clientWidth)
        m_extent.setWidth(m_extent.width() + (clientWidth - m_extent.width()) / 2);
    // Page a tenth of the extent, line a tenth of the page, as the scroll view's defaults.
    auto setBar = [](QScrollBar* bar, int extent, int client) {
        bar->setRange(0, std::max(0, extent - client));
        bar->setPageStep(std::max(1, extent / 10));
        bar->setSingleStep(std::max(1, extent / 100));
    };
    setBar(horizontalScrollBar(), m_extent.width(), viewport()->width());
    setBar(verticalScrollBar(), m_extent.height(), viewport()->height());
}

bool CImageView::ensureFullImage() {
    if (m_kit.isNull() || !m_kit.isReduced())
        return !m_kit.isNull();
    CWaitCursor wait;
    const QString path = m_kit.path();
    invalidateRendering();
    if (!m_kit.load(path)) {
        m_fileSize = -1;
        return false;
    }
    return true;
}

void CImageView::refitIfNeeded() {
    if (!m_zoom.isFit() || m_kit.isNull() || !m_kit.isReduced() || m_refitPending)
        return;
    const QSize wanted = CImageZoom::fittedSize(m_kit.size(), viewport()->size());
    if (wanted.width() <= m_kit.image().width() && wanted.height() <= m_kit.image().height())
        return;
    // Resizes come in bursts while a window is laid out: one decode after the last of them.
    m_refitPending = true;
    QTimer::singleShot(0, this, [this] {
        m_refitPending = false;
        if (!m_zoom.isFit() || m_kit.isNull() || !m_kit.isReduced())
            return;
        const QSize wanted = CImageZoom::fittedSize(m_kit.size(), viewport()->size());
        if (wanted.width() <= m_kit.image().width() && wanted.height() <= m_kit.image().height())
            return;
        CWaitCursor wait;
        const QString path = m_kit.path();
        invalidateRendering();
        if (!m_kit.load(path, viewport()->size()))
            m_fileSize = -1;
        viewport()->update();
    });
}

void CImageView::invalidateRendering() {
    m_rendered = QImage();
    m_renderedArea = QRect();
    m_renderedFor = QSize();
}

void CImageView::zoomChanged(int hint) {
    if (!m_zoom.isFit())
        ensureFullImage();
    invalidateRendering();
    resetExtent(true);
    viewport()->update();
    Q_EMIT hintRequested(hint);
}

void CImageView::customZoom(bool reduce) {
    double initial = 1.0;
    if (reduce && m_zoom.isReduce())
        initial = m_zoom.divisor() / 10.0;
    else if (!reduce && m_zoom.isEnlarge())
        initial = m_zoom.factor() / 10.0;
    CZoomDlg dialog(reduce ? CZoomDlg::Kind::Reduce : CZoomDlg::Kind::Enlarge, initial, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Truncated to tenths; CImageZoom keeps the result within 1.0 to 10.0 whatever was typed.
    const double tenths = std::floor(dialog.value() * 10.0 + 1e-9);
    const int value = std::isfinite(tenths) ? static_cast<int>(std::clamp(tenths, -1.0, 1000.0)) : 0;
    if (reduce) {
        m_zoom.setReduce(value);
        zoomChanged(hint::kCurrentItem);
    } else {
        m_zoom.setEnlarge(value);
        zoomChanged(hint::kRepaint);
    }
}

bool CImageView::onCommand(int id) {
    if (id >= cmd::kImageReduceFirst && id <= cmd::kImageReduceLast) {
        m_zoom.setReduce(tenthsOf(id, cmd::kImageReduceFirst));
        zoomChanged(hint::kCurrentItem);
        return true;
    }
    if (id >= cmd::kImageEnlargeFirst && id <= cmd::kImageEnlargeLast) {
        m_zoom.setEnlarge(tenthsOf(id, cmd::kImageEnlargeFirst));
        zoomChanged(hint::kRepaint);
        return true;
    }
    switch (id) {
    case cmd::kImageActualSize:
        m_zoom.setOwnSize();
        zoomChanged(hint::kCurrentItem);
        return true;
    case cmd::kImageReduceCustom:
        customZoom(true);
        return true;
    case cmd::kImageEnlargeCustom:
        customZoom(false);
        return true;
    case cmd::kImageStepLarger:
        m_zoom.stepLarger();
        zoomChanged(hint::kRepaint);
        return true;
    case cmd::kImageStepSmaller:
        m_zoom.stepSmaller();
        zoomChanged(hint::kRepaint);
        return true;
    case cmd::kImageFitToWindow:
        m_zoom.setFit();
        m_profile.writeInt(kView, "WindowSize", 1);
        zoomChanged(hint::kRepaint);
        return true;
    case cmd::kImagePure:
        m_imagePure = !m_imagePure;
        m_profile.writeInt(kView, "ImagePure", m_imagePure ? 1 : 0);
        invalidateRendering();
        viewport()->update();
        return true;
    case cmd::kCopyImage:
        if (ensureFullImage())
            m_kit.copyToClipboard();
        return true;
    case cmd::kImageFitWindowToImage:
        resetExtent(true);
        viewport()->update();
        return true;
    default:
        return false;
    }
}

bool CImageView::onUpdateCommand(int id, CCommandState& state) {
    state.enabled = true;
    state.checked = false;
    if (id >= cmd::kImageReduceFirst && id <= cmd::kImageReduceLast) {
        state.checked = m_zoom.isReduce() && m_zoom.divisor() == tenthsOf(id, cmd::kImageReduceFirst);
        return true;
    }
    if (id >= cmd::kImageEnlargeFirst && id <= cmd::kImageEnlargeLast) {
        state.checked = m_zoom.isEnlarge() && m_zoom.factor() == tenthsOf(id, cmd::kImageEnlargeFirst);
        return true;
    }
    switch (id) {
    case cmd::kImageActualSize:
        state.checked = m_zoom.mode() == CImageZoom::Mode::OwnSize;
        return true;
    case cmd::kImageReduceCustom:
        state.checked = m_zoom.isReduce() && !isListedTenths(m_zoom.divisor());
        return true;
    case cmd::kImageEnlargeCustom:
        state.checked = m_zoom.isEnlarge() && !isListedTenths(m_zoom.factor());
        return true;
    case cmd::kImageFitToWindow:
        state.checked = m_zoom.isFit();
        return true;
    case cmd::kImagePure:
        state.checked = m_imagePure;
        return true;
    case cmd::kImageStepLarger:
    case cmd::kImageStepSmaller:
    case cmd::kCopyImage:
    case cmd::kImageFitWindowToImage:
        return true;
    default:
        return false;
    }
}

void CImageView::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::white);
    if (m_kit.isNull())
        return;
    const QRect target = imageRect();
    const QRect shown = target.intersected(viewport()->rect());
    if (shown.isEmpty())
        return;
    const QRect area = shown.translated(-target.topLeft());  // in the displayed picture's coordinates
    if (target.size() == m_kit.image().size()) {
        painter.drawImage(shown.topLeft(), m_kit.image(), area);
        return;
    }
    // Sharpening goes with scaling by reduce or enlarge; a fitted picture is drawn as it is scaled.
    const bool pure = m_imagePure && (m_zoom.isReduce() || m_zoom.isEnlarge());
    if (m_rendered.isNull() || m_renderedArea != area || m_renderedFor != target.size() || m_renderedPure != pure) {
        m_rendered = m_kit.renderRegion(target.size(), area);
        if (pure)
            CImageKit::sharpenImage(m_rendered, m_rendered.rect(), m_pureLevel);
        m_renderedArea = area;
        m_renderedFor = target.size();
        m_renderedPure = pure;
    }
    painter.drawImage(shown.topLeft(), m_rendered);
}

void CImageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    invalidateRendering();
    resetExtent();
    refitIfNeeded();
}

void CImageView::keyPressEvent(QKeyEvent* event) {
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up: vertical->setValue(vertical->value() - 1); break;
    case Qt::Key_Down: vertical->setValue(vertical->value() + 1); break;
    case Qt::Key_Left: horizontal->setValue(horizontal->value() - 1); break;
    case Qt::Key_Right: horizontal->setValue(horizontal->value() + 1); break;
    case Qt::Key_PageUp: vertical->setValue(vertical->value() - (vertical->pageStep() - vertical->singleStep())); break;
    case Qt::Key_PageDown: vertical->setValue(vertical->value() + (vertical->pageStep() - vertical->singleStep())); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void CImageView::scrollContentsBy(int dx, int dy) {
    (void)dx;
    (void)dy;
    viewport()->update();
}
