#include "framework/qt_dialogs.h"

#include "model/pixel_buffer.h"
#include "model/resources/string_table.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

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

CInsertDiscDlg::CInsertDiscDlg(const InsertDiscPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_icon(new QLabel(this)), m_text(new QLabel(this)) {
    setWindowTitle("Insert CD");
    setModal(true);
    m_icon->setFixedSize(32, 32);
    if (prompt.iconFile) {
        // The first image of the named file, when Qt can read one from it.
        QIcon icon(QString::fromStdString(prompt.iconFile->string()));
        if (!icon.availableSizes().isEmpty() || !icon.pixmap(32, 32).isNull())
            m_icon->setPixmap(icon.pixmap(32, 32));
    }
    m_text->setText(QString::fromStdString(prompt.text));
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(250);
    auto* ok = new QPushButton("OK", this);
    auto* cancel = new QPushButton("Cancel", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* top = new QHBoxLayout;
    top->addWidget(m_icon, 0, Qt::AlignTop);
    top->addWidget(m_text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

QtDialogs::QtDialogs(QWidget* owner) : m_owner(owner), m_beep([] { QApplication::beep(); }) {}

void QtDialogs::MessageBox(const std::string& text, MessageIcon icon) {
    QMessageBox box(QtIcon(icon), AppTitle(), QString::fromStdString(text), QMessageBox::Ok,
                    m_owner);
    box.exec();
}

bool QtDialogs::InsertDisc(const InsertDiscPrompt& prompt) {
    CInsertDiscDlg dlg(prompt, m_owner);
    m_beep();
    return dlg.exec() == QDialog::Accepted;
}

bool QtDialogs::SlideShowDialog(SlideShowDlgData&) {
    // Nothing in the program opens the slide-show settings yet (no button,
    // key or menu sends their command); answering Cancel keeps the record.
    return false;
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
