#include "framework/qt_dialogs.h"

#include "framework/slide_show_dlg.h"
#include "framework/slide_show_help_dlg.h"

#include "model/pixel_buffer.h"
#include "model/resources/string_table.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace {

QString AppTitle() {
    return QString::fromStdString(std::string(LoadString(IDS_APP_TITLE)));
}

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
    default:
        return QMessageBox::Warning;
    }
}

} // namespace

QFont WithCellHeight(QFont font, int cell) {
    // The pixel size is the em, and families differ in how far their lines
    // reach beyond it.
    font.setPixelSize(cell);
    int height = QFontMetrics(font).height();
    if (height > 0 && height != cell) {
        int em = static_cast<int>(std::lround(double(cell) * cell / height));
        font.setPixelSize(std::max(1, em));
        while (em > 1 && QFontMetrics(font).height() > cell)
            font.setPixelSize(--em);
    }
    return font;
}

QFont DialogFont() {
    // The templates were drawn for a font whose base units are about 6 x 13
    // pixels. A 13-pixel line in a family of the same proportions keeps their
    // texts inside their controls; a wider family, at 8 points, cuts them off.
    QFont font;
    font.setFamilies({"MS Sans Serif", "Liberation Sans", "Arimo", "Nimbus Sans", "Helvetica"});
    font.setStyleHint(QFont::SansSerif);
    return WithCellHeight(font, 13);
}

QRect FromDialogUnits(const QRect& units) {
    return QRect(units.x() * 6 / 4, units.y() * 13 / 8, units.width() * 6 / 4,
                 units.height() * 13 / 8);
}

void ShowMessageBox(QWidget* parent, const std::string& text, MessageIcon icon) {
    QMessageBox box(QtIcon(icon), AppTitle(), QString::fromStdString(text), QMessageBox::Ok,
                    parent);
    box.exec();
}

CInsertDiscDlg::CInsertDiscDlg(const InsertDiscPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_icon(new QLabel(this)), m_text(new QLabel(this)) {
    setWindowTitle("Insert CD");
    setModal(true);
    setFont(DialogFont());
    // Each control at its place in the template, nothing left to a layout:
    // the dialog is exactly as large as the template, with no room to spare.
    // An icon control takes the size of its icon, 32 x 32.
    m_icon->setGeometry(QRect(FromDialogUnits(QRect(5, 9, 18, 20)).topLeft(), QSize(32, 32)));
    if (prompt.iconFile) {
        // The first image of the named file, when Qt can read one from it.
        QIcon icon(QString::fromStdString(prompt.iconFile->string()));
        if (!icon.availableSizes().isEmpty() || !icon.pixmap(32, 32).isNull())
            m_icon->setPixmap(icon.pixmap(32, 32));
    }
    m_text->setText(QString::fromStdString(prompt.text));
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QRect text = FromDialogUnits(QRect(35, 11, 165, 19));
    // A title too long for the template's two lines pushes the buttons and
    // the bottom edge down rather than being cut off.
    int extra = std::max(0, m_text->heightForWidth(text.width()) - text.height());
    m_text->setGeometry(text.adjusted(0, 0, 0, extra));
    auto* ok = new QPushButton("OK", this);
    auto* cancel = new QPushButton("Cancel", this);
    ok->setGeometry(FromDialogUnits(QRect(48, 34, 50, 14)).translated(0, extra));
    cancel->setGeometry(FromDialogUnits(QRect(114, 34, 50, 14)).translated(0, extra));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(FromDialogUnits(QRect(0, 0, 212, 55)).size() + QSize(0, extra));
}

QtDialogs::QtDialogs(QWidget* owner) : m_owner(owner), m_beep([] { QApplication::beep(); }) {}

void QtDialogs::MessageBox(const std::string& text, MessageIcon icon) {
    ShowMessageBox(m_owner, text, icon);
}

bool QtDialogs::InsertDisc(const InsertDiscPrompt& prompt) {
    CInsertDiscDlg dlg(prompt, m_owner);
    m_beep();
    return dlg.exec() == QDialog::Accepted;
}

bool QtDialogs::SlideShowDialog(SlideShowDlgData& data) {
    CSlideShowDlg dlg(data, m_pageCount ? m_pageCount() : 0, m_owner);
    dlg.SetBeep(m_beep);
    dlg.SetHelp([this] {
        if (m_help)
            m_help();
    });
    if (dlg.exec() != QDialog::Accepted)
        return false;
    data = dlg.Data();
    return true;
}

void QtDialogs::SlideShowHelp() {
    // The list is opened from a key of the show, which its own modal loop
    // may deliver again; one list at a time is enough.
    if (m_slideShowHelpOpen)
        return;
    m_slideShowHelpOpen = true;
    CSlideShowHelpDlg dlg(m_owner);
    dlg.exec();
    m_slideShowHelpOpen = false;
}

std::optional<std::uint32_t> QtDialogs::ChooseColor(std::uint32_t initial) {
    Pixel p = ColorRefToPixel(initial);
    QColor chosen = QColorDialog::getColor(QColor(PixelRed(p), PixelGreen(p), PixelBlue(p)),
                                           m_owner, AppTitle());
    if (!chosen.isValid())
        return std::nullopt;
    return MakeColorRef(static_cast<std::uint8_t>(chosen.red()),
                        static_cast<std::uint8_t>(chosen.green()),
                        static_cast<std::uint8_t>(chosen.blue()));
}

std::optional<std::string> QtDialogs::OpenVolumeFile() {
    QString file =
        QFileDialog::getOpenFileName(m_owner, AppTitle(), QString(), "Volume Files (*.vol)");
    if (file.isEmpty())
        return std::nullopt;
    return file.toStdString();
}

bool QtDialogs::PrintDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, m_owner);
    // One page is printed, so there is no page range or selection to offer;
    // printing to a file stays, as it is all there is without a printer.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}
