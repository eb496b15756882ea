#include "WindowLook.h"

#include <QComboBox>
#include <QDialog>
#include <QItemDelegate>
#include <QPalette>
#include <QProxyStyle>
#include <QStringList>
#include <QWidget>

#include <algorithm>

namespace {

// Some styles (Fusion among them) drop a list without typing down as a menu
// holding every row, whatever the row limit, so a long list runs off the
// screen. This one keeps the scrolled list below the box instead.
class TScrolledListStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
        QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

class TRowHeightDelegate : public QItemDelegate
{
public:
    TRowHeightDelegate(int height, QObject *parent)
        : QItemDelegate(parent)
        , FHeight(height)
    { }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QItemDelegate::sizeHint(option, index).width(),
            std::max(FHeight, option.fontMetrics.height())};
    }

private:
    int FHeight;
};

} // namespace

QFont WindowFont()
{
    QFont font;
    // Metric-compatible faces first; DejaVu Sans is wider but always present.
    QStringList families {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
        QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica"),
        QStringLiteral("DejaVu Sans")};
#ifdef Q_OS_WIN
    // The face the layouts were drawn with, where the system has it; its
    // TrueType successor otherwise. Qt for Windows ignores the style hint when
    // no family is found and takes the first face it knows, a serif one under
    // Wine, so the sans-serif faces above stay behind these as fallbacks.
    families.prepend(QStringLiteral("Tahoma"));
    families.prepend(QStringLiteral("Microsoft Sans Serif"));
    families.prepend(QStringLiteral("MS Sans Serif"));
#endif
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void MakeYellowBold(QWidget *widget)
{
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 255, 0));
    palette.setColor(QPalette::ButtonText, QColor(255, 255, 0));
    widget->setPalette(palette);
    widget->setAutoFillBackground(false);
}

void SetupFixedDialog(
    QDialog *dialog, const QString &caption, const QSize &clientSize, TColor background)
{
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(clientSize);
    dialog->setFont(WindowFont());
    QPalette palette = dialog->palette();
    palette.setColor(QPalette::Window, ToQColor(background, palette));
    dialog->setPalette(palette);
}

namespace {

// Gives the list its scrolled style and row height when it first drops down.
// A style of its own means a second instance of the application's style,
// which costs the start-up about half a megabyte for a list nobody has opened
// yet; the closed box draws the same either way.
class TDropDownList : public QComboBox
{
public:
    TDropDownList(QWidget *parent, int itemHeight)
        : QComboBox(parent)
        , FItemHeight(itemHeight)
    { }

    void showPopup() override
    {
        if (!FStyled) {
            FStyled = true;
            auto *style = new TScrolledListStyle;
            style->setParent(this);
            setStyle(style);
            setItemDelegate(new TRowHeightDelegate(FItemHeight, this));
        }
        QComboBox::showPopup();
    }

private:
    int FItemHeight;
    bool FStyled = false;
};

} // namespace

QComboBox *NewDropDownList(QWidget *parent, int rows, int itemHeight)
{
    auto *list = new TDropDownList(parent, itemHeight);
    list->setEditable(false);
    list->setMaxVisibleItems(rows);
    return list;
}
