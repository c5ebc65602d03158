#pragma once
// The main window and its controls, at the fixed positions of the layout.
// It only shows things and raises signals; WindowServices (QtWindowServices)
// gives the handlers their view of it, and FormEventRouter turns its signals
// into events of Form1.

#include <array>

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QWidget>

#include "app/qt/face_button.h"
#include "app/qt/group_frame.h"
#include "app/qt/link_label.h"
#include "app/qt/marker_line.h"
#include "app/qt/position_slider.h"
#include "app/qt/web_panel.h"

class QMimeData;

namespace snipwell::qt {

inline constexpr int kClientWidth = 305;
inline constexpr int kClientHeight = 343;

class SnipwellWindow : public QWidget {
    Q_OBJECT
public:
    explicit SnipwellWindow(const WebPanelFactory& makeWebPanel);

    FaceButton& command(int number);  // 1 ... 9
    PositionSlider& H() { return *H_; }
    QProgressBar& pb() { return *pb_; }
    LinkLabel& Label1() { return *Label1_; }
    QLabel& Label3() { return *Label3_; }
    QLabel& Label4() { return *Label4_; }
    QLabel& Label7() { return *Label7_; }
    QLabel& Label9() { return *Label9_; }
    MarkerLine& Line1() { return *Line1_; }
    MarkerLine& Line2() { return *Line2_; }
    GroupFrame& P() { return *P_; }
    WebPanel& WebBrowser1() { return *WebBrowser1_; }
    QTimer& T() { return *T_; }
    QTimer& Timer1() { return *Timer1_; }

signals:
    // The user (or the desktop) closes the window; the close is never refused.
    void closeRequested();
    // An MP3 file was dropped on the window while Open was enabled.
    void fileDropped(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The MP3 file a drag carries, when the window takes it now; else empty.
    QString droppableFile(const QMimeData* mime) const;
    void buildControls(const WebPanelFactory& makeWebPanel);
    void setTabOrderByIndex();

    std::array<FaceButton*, 9> commands_{};
    PositionSlider* H_ = nullptr;
    QProgressBar* pb_ = nullptr;
    LinkLabel* Label1_ = nullptr;
    QLabel* Label3_ = nullptr;
    QLabel* Label4_ = nullptr;
    QLabel* Label7_ = nullptr;
    QLabel* Label9_ = nullptr;
    MarkerLine* Line1_ = nullptr;
    MarkerLine* Line2_ = nullptr;
    GroupFrame* P_ = nullptr;
    WebPanel* WebBrowser1_ = nullptr;
    QTimer* T_ = nullptr;
    QTimer* Timer1_ = nullptr;
};

}  // namespace snipwell::qt
