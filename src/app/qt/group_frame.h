#pragma once
// A frame: a thin border with an optional caption set into its top edge, and
// a container for other controls placed at fixed positions inside it.

#include <QString>
#include <QWidget>

namespace snipwell::qt {

class GroupFrame : public QWidget {
    Q_OBJECT
public:
    GroupFrame(const QString& caption, QWidget* parent);

    QString caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};

}  // namespace snipwell::qt
