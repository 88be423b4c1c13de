#pragma once
// The picture behind the options dialog's check boxes: its title and the
// three framed groups they sit in.
#include <QWidget>

namespace zibbles {

class OptionsPicture : public QWidget {
public:
    explicit OptionsPicture(QWidget *parent);

    struct Group {
        QRect frame;
        const char *heading;
    };
    // Zibble Hot Keys, Set Changing Keys, More Stuff.
    static const Group kGroups[3];

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace zibbles
