#include "app/qt/snipwell_window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFont>
#include <QMimeData>
#include <QUrl>

#include "app/form1.h"
#include "app/qt/hand_cursor.h"
#include "app/qt/twips.h"
#include "app/qt/window_icon.h"

namespace snipwell::qt {

namespace {

const QColor kValueFieldGrey(224, 224, 224);
const QColor kLinkBlue(0, 0, 255);
const QColor kBeginMarkerGreen(0, 128, 0);

// Marker lines stand 120 twips high directly above the slider's top edge.
constexpr float kMarkerTop = 480.0f;
constexpr float kMarkerBottom = 600.0f;

// Margins keep each drawn button inside its control. Where neighbouring
// controls overlap, the margin on the covered side is as wide as it may be,
// so the later (upper) control hides white rather than outline.
const ButtonFace kFaces[9] = {
    {QStringLiteral("Play"), {57, 24}, {1, 1, 4, 1}},
    {QStringLiteral("Stop"), {59, 28}, {4, 1, 4, 4}},
    {QStringLiteral("Pause"), {69, 27}, {4, 1, 4, 3}},
    {QStringLiteral("Open"), {61, 28}, {2, 1, 3, 4}},
    {QStringLiteral("Select Start"), {93, 27}, {2, 1, 2, 3}},
    {QStringLiteral("Select End"), {91, 28}, {1, 1, 2, 4}},
    {QStringLiteral("Save"), {62, 26}, {2, 1, 4, 2}},
    {QStringLiteral("Home Page"), {99, 26}, {2, 1, 2, 2}},
    {QStringLiteral("Play Selected"), {112, 26}, {2, 1, 4, 2}},
};

QFont windowFont() {
    // A small proportional sans-serif face, narrow enough for the labels.
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

template <typename Widget>
Widget* place(Widget* widget, const char* name, const QRect& rect) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(rect);
    return widget;
}

void setColours(QWidget* widget, const QColor& background, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* makeLabel(const QString& text, QWidget* parent, const QColor& background,
                  Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    setColours(label, background, Qt::black);
    label->setAlignment(alignment);
    return label;
}

QLabel* makeValueField(QWidget* parent) {
    return makeLabel(QString(), parent, kValueFieldGrey, Qt::AlignHCenter | Qt::AlignTop);
}

QLabel* makeTextLabel(const QString& text, QWidget* parent) {
    return makeLabel(text, parent, Qt::white, Qt::AlignLeft | Qt::AlignTop);
}

}  // namespace

SnipwellWindow::SnipwellWindow(const WebPanelFactory& makeWebPanel) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(makeWindowIcon());
    // A fixed single border: minimise and close, no maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setColours(this, Qt::white, Qt::black);
    setFont(windowFont());
    buildControls(makeWebPanel);
    setTabOrderByIndex();
    // A file dropped anywhere on the window opens; no control takes drops
    // of its own, so every drop reaches the window.
    setAcceptDrops(true);
}

// The controls in the order the window creates them, containers before their
// contents; a control created later lies above an earlier one where they meet.
void SnipwellWindow::buildControls(const WebPanelFactory& makeWebPanel) {
    auto* frame5 =
        place(new GroupFrame(QString(), this), "Frame5", rectFromTwips(480, 15, 3600, 420));
    setColours(frame5, Qt::white, palette().color(QPalette::WindowText));
    place(makeTextLabel(QStringLiteral("  Quorvane Presentation"), frame5), "qvl",
          rectFromTwips(495, 135, 2775, 255));

    WebBrowser1_ = place(makeWebPanel(this), "WebBrowser1", rectFromTwips(0, 3765, 4575, 1395));

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(100);

    // The hidden host of the media service's video window, below the client area.
    P_ = place(new GroupFrame(QString(), this), "P", rectFromTwips(-15, 6240, 5295, 4215));
    auto* frame4 = place(new GroupFrame(QStringLiteral("Video Window"), P_), "Frame4",
                         rectFromTwips(-60, 525, 5775, 4815));
    QFont frame4Font(QStringLiteral("MS Sans Serif"));
    frame4Font.setStyleHint(QFont::SansSerif);
    frame4Font.setPointSizeF(8.25);
    frame4Font.setWeight(QFont::Normal);
    frame4->setFont(frame4Font);
    auto* frame3 =
        place(new GroupFrame(QString(), frame4), "Frame3", rectFromTwips(-195, 3645, 5295, 4215));
    frame3->hide();
    frame4->hide();
    P_->hide();

    T_ = new QTimer(P_);
    T_->setObjectName(QStringLiteral("T"));
    T_->setInterval(1000);

    commands_[5] =
        place(new FaceButton(kFaces[5], this), "Command6", rectFromTwips(2205, 1470, 1365, 375));
    commands_[4] =
        place(new FaceButton(kFaces[4], this), "Command5", rectFromTwips(825, 1485, 1395, 375));
    commands_[7] =
        place(new FaceButton(kFaces[7], this), "Command8", rectFromTwips(2685, 2865, 1485, 375));

    pb_ = place(new QProgressBar(this), "pb", rectFromTwips(0, 3345, 4605, 345));
    pb_->setTextVisible(false);
    pb_->setRange(0, 100);
    pb_->setValue(0);

    commands_[8] =
        place(new FaceButton(kFaces[8], this), "Command9", rectFromTwips(2610, 2490, 1650, 375));

    auto* frame2 = place(new GroupFrame(QStringLiteral("Current Time"), this), "Frame2",
                         rectFromTwips(2385, 1920, 2070, 525));
    setColours(frame2, Qt::white, Qt::black);
    Label4_ = place(makeValueField(frame2), "Label4", rectFromTwips(90, 240, 1860, 180));

    auto* frame1 = place(new GroupFrame(QStringLiteral("Clip Information"), this), "Frame1",
                         rectFromTwips(150, 1920, 2160, 1185));
    setColours(frame1, Qt::white, Qt::black);
    Label3_ = place(makeValueField(frame1), "Label3", rectFromTwips(690, 855, 1380, 180));
    Label9_ = place(makeValueField(frame1), "Label9", rectFromTwips(1080, 585, 990, 180));
    Label7_ = place(makeValueField(frame1), "Label7", rectFromTwips(1185, 315, 885, 180));
    place(makeTextLabel(QStringLiteral("Length :"), frame1), "ln",
          rectFromTwips(60, 825, 630, 240));
    place(makeTextLabel(QStringLiteral("End Position :"), frame1), "ep1",
          rectFromTwips(60, 570, 1005, 240));
    place(makeTextLabel(QStringLiteral("Begin Position :"), frame1), "bp",
          rectFromTwips(60, 285, 1125, 240));

    commands_[6] =
        place(new FaceButton(kFaces[6], this), "Command7", rectFromTwips(3480, 1035, 900, 375));
    commands_[3] =
        place(new FaceButton(kFaces[3], this), "Command4", rectFromTwips(2610, 1005, 900, 375));
    commands_[2] =
        place(new FaceButton(kFaces[2], this), "Command3", rectFromTwips(1635, 1020, 1005, 375));
    commands_[1] =
        place(new FaceButton(kFaces[1], this), "Command2", rectFromTwips(840, 1020, 855, 375));
    commands_[0] =
        place(new FaceButton(kFaces[0], this), "Command1", rectFromTwips(75, 1050, 855, 360));

    H_ = place(new PositionSlider(this), "H", rectFromTwips(120, 600, 4215, 375));

    Label1_ =
        place(new LinkLabel(QStringLiteral("Get Free Disk Defragmentation Software Trial"), this),
              "Label1", rectFromTwips(1455, 6315, 3390, 255));
    setColours(Label1_, Qt::white, kLinkBlue);
    Label1_->setCursor(makeHandCursor());

    Line2_ = new MarkerLine(4200.0f, kMarkerTop, 4200.0f, kMarkerBottom,
                            palette().color(QPalette::WindowText), this);
    Line2_->setObjectName(QStringLiteral("Line2"));
    Line1_ = new MarkerLine(240.0f, kMarkerTop, 240.0f, kMarkerBottom, kBeginMarkerGreen, this);
    Line1_->setObjectName(QStringLiteral("Line1"));

    // A 15 x 15 twip rectangle with a black border: one dot that no code uses.
    auto* shape1 = place(new QWidget(this), "Shape1", rectFromTwips(360, 360, 15, 15));
    setColours(shape1, Qt::black, Qt::black);
    shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    Timer1_->start();
}

// Keyboard focus in the order of the controls' tab indexes; frames, labels
// and the progress bar hold places in that order but never take the focus.
void SnipwellWindow::setTabOrderByIndex() {
    QWidget* const focusOrder[] = {
        commands_[0], commands_[1], commands_[2], commands_[3], commands_[6], commands_[8],
        commands_[7], commands_[4], commands_[5], H_,           WebBrowser1_,
    };
    // The window itself holds the focus until Tab moves it into the order,
    // and takes it back on a click anywhere but the slider or the web panel:
    // a picture button has the focus only when the person tabbed to it, so
    // Space is Play/Pause everywhere else. It must take focus before it can
    // head the order, as Qt leaves a control that takes none out of it.
    setFocusPolicy(Qt::ClickFocus);
    // Tab from the window itself starts the order at its first control.
    setTabOrder(this, focusOrder[0]);
    for (std::size_t i = 1; i < std::size(focusOrder); ++i)
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
    setFocus(Qt::OtherFocusReason);
}

FaceButton& SnipwellWindow::command(int number) {
    return *commands_.at(static_cast<std::size_t>(number - 1));
}

void SnipwellWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closeRequested();
}

// The first file of the drag, when it is a local file named *.mp3 (in any
// letter case, as the Open dialog's filter lists it) and Open is enabled: a
// save locks Open, and drops with it.
QString SnipwellWindow::droppableFile(const QMimeData* mime) const {
    if (mime == nullptr || !mime->hasUrls() || !commands_[3]->isEnabled()) return {};
    const QList<QUrl> urls = mime->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return {};
    const QString path = urls.front().toLocalFile();
    return path.endsWith(QStringLiteral(".mp3"), Qt::CaseInsensitive) ? path : QString();
}

// Refusing the drag is what shows the "no drop" cursor.
void SnipwellWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (droppableFile(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

// A save may begin while the file is held over the window.
void SnipwellWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (droppableFile(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void SnipwellWindow::dropEvent(QDropEvent* event) {
    const QString path = droppableFile(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit fileDropped(path);
}

}  // namespace snipwell::qt
