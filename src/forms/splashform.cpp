// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "splashform.h"

#include "ebasewidget.h"
#include "ecoreapp.h"
#include "eimagewidget.h"
#include "elabelwidget.h"
#include "elocale.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QPainter>

namespace {

const QSizeF kPanelSize(640, 480);
constexpr int kTextOpenConfiguration = 61403;
constexpr int kTextNewHome = 61572;
constexpr int kTextControllerAddress = 61573;
const char kOfferedAddress[] = "127.0.0.1";

QString localText(int id, const char *english)
{
    const QString text =
        ECoreApp::instance()->locale() ? ECoreApp::instance()->locale()->text(id) : QString();
    return text.isEmpty() ? QString::fromUtf8(english) : text;
}

QFont arial(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// The splash's flat button: a filled rectangle that darkens under the pointer.
class SplashButton : public EBaseWidget
{
public:
    SplashButton(const QString &text, int pixelSize, QGraphicsItem *parent)
        : EBaseWidget(parent)
    {
        setText(text);
        setFont(arial(pixelSize));
        setAcceptHoverEvents(true);
    }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        const QRectF r(QPointF(), size());
        const bool dark = isHighlighted() || isPressed();
        painter->setPen(Qt::NoPen);
        painter->setBrush(dark ? QColor(QStringLiteral("#006d83")) : QColor(QStringLiteral("#008299")));
        painter->drawRoundedRect(r, 4, 4);
        painter->setPen(Qt::white);
        painter->setFont(font());
        painter->drawText(r, Qt::AlignCenter, text());
    }
};

// A thumbnail or the full-page picture: an image that reports clicks.
class PictureButton : public EBaseWidget
{
public:
    explicit PictureButton(QGraphicsItem *parent)
        : EBaseWidget(parent)
    {
        m_image = new EImageWidget(this);
        m_image->setFillMode(EImageWidget::PreserveAspectFit);
        m_image->setAcceptedMouseButtons(Qt::NoButton);
        connect(this, &EGraphicsWidget::onGeometryChanged, m_image,
                [this](const QRectF &r) { m_image->setGeometry(QRectF(QPointF(), r.size())); });
    }
    EImageWidget *image() const { return m_image; }
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

private:
    EImageWidget *m_image;
};

} // namespace

SplashForm::SplashForm(QGraphicsItem *parent)
    : EGraphicsWidget(parent)
{
    // Everything sits on a fixed 640 x 480 panel centred on the page; the window lays the splash
    // out 480 high, so the panel fills the height at any window size.
    m_panel = new EGraphicsWidget(this);
    m_panel->resize(kPanelSize);

    auto label = [this](const QString &text, const QFont &font, const QRectF &rect,
                        Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
        auto *l = new ELabelWidget(text, m_panel);
        l->setFont(font);
        l->setColortext(Qt::white);
        l->setAlignment(align);
        l->setGeometry(rect);
        return l;
    };
    label(QStringLiteral("Warning! Configuration files are not found! Run the demo, start a new "
                         "home or contact us."),
          arial(14), QRectF(0, 8, 640, 22), Qt::AlignCenter);

    auto *logo = new EImageWidget(m_panel);
    logo->setSource(QStringLiteral(":/resources/dazadovidorod96.png"));
    logo->setFillMode(EImageWidget::PreserveAspectFit);
    logo->setGeometry(QRectF(40, 40, 85, 85));
    label(QStringLiteral("Verandix"), arial(57, true), QRectF(140, 40, 440, 85));

    auto *about = label(
        QStringLiteral("Verandix is the control panel of your home: lights and dimmers, heating, "
                       "security, leaks and cameras on the plans of your floors and rooms, live "
                       "from the home controller."),
        arial(16), QRectF(40, 135, 424, 70), Qt::AlignLeft | Qt::AlignTop);
    about->setWordWrap(true);
    auto *edit = label(
        QStringLiteral("It is also the editor of its own screens: place controls on the plans, "
                       "link switches to lamps and save scenes, right on the panel."),
        arial(16), QRectF(40, 205, 424, 70), Qt::AlignLeft | Qt::AlignTop);
    edit->setWordWrap(true);

    m_runDemo = new SplashButton(QStringLiteral("Run Demo"), 18, m_panel);
    m_runDemo->setGeometry(QRectF(40, 280, 180, 51));
    connect(m_runDemo, &EBaseWidget::clicked, this, &SplashForm::showEngDemo);
    label(QStringLiteral("For example please\nrun the Demo!"), arial(16), QRectF(235, 280, 230, 51));
    // A configuration kept elsewhere than the folders the program looks in (a USB stick, a
    // share) is opened from here instead of being copied first.
    m_openConfiguration = new SplashButton(
        localText(kTextOpenConfiguration, "Open configuration..."), 14, m_panel);
    m_openConfiguration->setObjectName(QStringLiteral("openConfiguration"));
    m_openConfiguration->setGeometry(QRectF(470, 280, 150, 51));
    connect(m_openConfiguration, &EBaseWidget::clicked, this, [this] {
        const QString title = m_openConfiguration->text();
        const QString folder =
            m_pickFolder ? m_pickFolder(title)
                         : QFileDialog::getExistingDirectory(nullptr, title, QDir::homePath());
        if (!folder.isEmpty())
            emit openConfiguration(folder);
    });

    // An installer starts a house from nothing: an empty folder becomes a home with its pages,
    // ready for the plans and the controls.
    m_newHome = new SplashButton(localText(kTextNewHome, "New home..."), 14, m_panel);
    m_newHome->setObjectName(QStringLiteral("newHome"));
    m_newHome->setGeometry(QRectF(470, 222, 150, 51));
    connect(m_newHome, &EBaseWidget::clicked, this, [this] {
        const QString title = m_newHome->text();
        const QString folder =
            m_pickFolder ? m_pickFolder(title)
                         : QFileDialog::getExistingDirectory(nullptr, title, QDir::homePath());
        if (folder.isEmpty())
            return;
        const QString question = localText(kTextControllerAddress, "Controller address:");
        const QString offered = QString::fromLatin1(kOfferedAddress);
        QString address;
        if (m_pickAddress) {
            address = m_pickAddress(question, offered);
        } else {
            bool ok = false;
            address = QInputDialog::getText(nullptr, title, question, QLineEdit::Normal, offered,
                                            &ok);
            if (!ok)
                address.clear();
        }
        address = address.trimmed();
        if (!address.isEmpty())
            emit newHome(folder, address);
    });

    const QStringList pictures = {QStringLiteral(":/resources/ipad-large1.png"),
                                  QStringLiteral(":/resources/ipad-large3.png"),
                                  QStringLiteral(":/resources/ipad-large2.png")};
    const qreal left = (kPanelSize.width() - (3 * 155 + 2 * 9)) / 2;
    for (int i = 0; i < pictures.size(); ++i) {
        auto *thumb = new PictureButton(m_panel);
        thumb->image()->setSource(pictures[i]);
        thumb->setGeometry(QRectF(left + i * (155 + 9), 338, 155, 120));
        const QString picture = pictures[i];
        connect(thumb, &EBaseWidget::clicked, this, [this, picture] { showOverlay(picture); });
        m_thumbnails.append(thumb);
    }

    m_guide = new SplashButton(QStringLiteral("User guide (F1)"), 11, m_panel);
    m_guide->setObjectName(QStringLiteral("userGuideButton"));
    m_guide->setGeometry(QRectF(240, 461, 160, 18));
    connect(m_guide, &EBaseWidget::clicked, this, &SplashForm::showUserGuide);

    auto *overlay = new PictureButton(this);
    overlay->setZValue(10);
    overlay->hide();
    m_overlayImage = overlay->image();
    m_overlay = overlay;
    connect(m_overlay, &EBaseWidget::clicked, m_overlay, [this] { m_overlay->hide(); });
}

void SplashForm::setFolderPicker(FolderPicker picker)
{
    m_pickFolder = std::move(picker);
}

void SplashForm::setAddressPicker(AddressPicker picker)
{
    m_pickAddress = std::move(picker);
}

EBaseWidget *SplashForm::thumbnail(int index) const
{
    return m_thumbnails.value(index);
}

bool SplashForm::isOverlayShown() const
{
    return m_overlay->isVisible();
}

void SplashForm::showOverlay(const QString &resource)
{
    m_overlayImage->setSource(resource);
    m_overlay->setGeometry(QRectF(QPointF(), size()));
    m_overlay->show();
}

void SplashForm::geometryUpdated()
{
    EGraphicsWidget::geometryUpdated();
    const QSizeF s = size();
    m_panel->setPos((s.width() - kPanelSize.width()) / 2, (s.height() - kPanelSize.height()) / 2);
    if (m_overlay->isVisible())
        m_overlay->setGeometry(QRectF(QPointF(), s));
}
