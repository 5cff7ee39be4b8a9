#include "dialogs/backgrounddialog.h"

#include "dialogs/dmxineditor.h"
#include "dialogs/settingsrules.h"
#include "model/showcommands.h"
#include "model/showdocument.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <type_traits>

namespace
{

constexpr int PREVIEW_PX = 48;

QSpinBox *spinBox(int minimum, int maximum, const QString &tip, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setAlignment(Qt::AlignRight);
    box->setToolTip(tip);
    return box;
}

// Sets a spin box without running its slot.
void setQuietly(QSpinBox *box, int value)
{
    const QSignalBlocker blocker(box);
    box->setValue(value);
}

} // namespace

// ---- BackgroundEdit ---------------------------------------------------------

BackgroundEdit::BackgroundEdit()
{
    resetBackground(&m_working);
}

void BackgroundEdit::setSettings(ShowDocument *document, bool showHex)
{
    m_showHex = showHex;
    if (!document)
        return;
    m_document = document;
    m_working = document->background();
}

void BackgroundEdit::choosePicture(const QString &path)
{
    if (path.isEmpty())
        return;
    // The file's bytes as they are; nothing when it is no picture.
    m_working.bitmap = Picture::fromFile(path);
}

void BackgroundEdit::deletePicture()
{
    m_working.bitmap = Picture();
}

bool BackgroundEdit::apply(const QString &undoText)
{
    if (!m_document || !refusal().isEmpty())
        return false;
    clampInput(m_working.dmx_in);
    // The picture is the one the preview shows, read when it was chosen.
    if (!m_working.sameContent(m_document->background()))
        m_document->push(new ChangeBackground(*m_document, m_working, undoText));
    return true;
}

QString BackgroundEdit::refusal() const
{
    return oscInputRefusal(m_working.dmx_in);
}

// ---- SettingsBackground -------------------------------------------------------

SettingsBackground::SettingsBackground(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(tr("Background Settings"));
    setWindowIcon(QIcon(QStringLiteral(":/images/pultora.png")));
    m_chooser = [](QWidget *p, const QString &title, const QString &filter) {
        return QFileDialog::getOpenFileName(p, title, QString(), filter);
    };
    buildWidgets();
    m_input->setSettings(&m_edit.working().dmx_in, std::nullopt, m_edit.showHex());
    updateDisplay();
}

void SettingsBackground::buildWidgets()
{
    // ---- settings group
    auto *settings = new QGroupBox(tr("Settings"), this);
    auto *grid = new QGridLayout(settings);
    int row = 0;
    auto addRow = [&](const QString &text, const QList<QWidget *> &widgets) {
        grid->addWidget(new QLabel(text, settings), row, 0);
        int column = 1;
        for (QWidget *w : widgets)
            grid->addWidget(w, row, column++);
        ++row;
    };
    m_posX = spinBox(0, 65535,
                     tr("where the console window's left edge goes on the screen, in "
                        "pixels, 0 to 65535"),
                     settings);
    m_posY = spinBox(0, 65535,
                     tr("where the console window's top edge goes on the screen, in "
                        "pixels, 0 to 65535"),
                     settings);
    m_sizeX = spinBox(1, 65535, tr("the console's width before stretching, 1 to 65535"), settings);
    m_sizeY = spinBox(1, 65535, tr("the console's height before stretching, 1 to 65535"), settings);
    m_stretch = spinBox(1, 10000,
                        tr("scales the console and every control, in percent, 1 to 10000; 100 "
                           "shows them as stored"),
                        settings);
    m_red = spinBox(0, 255, tr("the red of the background color, 0 to 255"), settings);
    m_green = spinBox(0, 255, tr("the green of the background color, 0 to 255"), settings);
    m_blue = spinBox(0, 255, tr("the blue of the background color, 0 to 255"), settings);
    m_stretch->setObjectName(QStringLiteral("stretch"));
    addRow(tr("Position X / Y :"), {m_posX, m_posY});
    addRow(tr("Size X / Y :"), {m_sizeX, m_sizeY});
    addRow(tr("Stretch factor in % :"), {m_stretch});
    addRow(tr("Color - Red / Green / Blue :"), {m_red, m_green, m_blue});

    m_picture = new QLabel(settings);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setFixedSize(PREVIEW_PX, PREVIEW_PX);
    m_picture->setFrameShape(QFrame::StyledPanel);
    m_picture->setToolTip(tr("the picture shown behind the controls"));
    m_pictureSize = new QLabel(settings);
    m_pictureSelect = new QPushButton(tr("..."), settings);
    m_pictureSelect->setObjectName(QStringLiteral("pictureSelect"));
    m_pictureSelect->setMinimumSize(30, 20);
    m_pictureSelect->setToolTip(tr("select the bitmap file here"));
    m_pictureDelete =
        new QPushButton(QIcon(QStringLiteral(":/images/editdelete.xpm")), QString(), settings);
    m_pictureDelete->setObjectName(QStringLiteral("pictureDelete"));
    m_pictureDelete->setMinimumSize(20, 20);
    m_pictureDelete->setToolTip(tr("deletes the bitmap file"));
    auto *pictureRow = new QHBoxLayout;
    pictureRow->addWidget(m_picture);
    pictureRow->addWidget(m_pictureSize, 1);
    pictureRow->addWidget(m_pictureSelect);
    pictureRow->addWidget(m_pictureDelete);
    grid->addWidget(new QLabel(tr("Bitmap :"), settings), row, 0);
    grid->addLayout(pictureRow, row, 1, 1, 3);
    grid->setColumnStretch(4, 1);

    // Every number writes its field of the working record as it changes.
    auto writes = [this](QSpinBox *box, auto field) {
        connect(box, &QSpinBox::valueChanged, this, [this, field](int value) {
            auto &stored = m_edit.working().*field;
            stored = std::remove_reference_t<decltype(stored)>(value);
        });
    };
    writes(m_posX, &BackgroundStruct::position_x);
    writes(m_posY, &BackgroundStruct::position_y);
    writes(m_sizeX, &BackgroundStruct::size_x);
    writes(m_sizeY, &BackgroundStruct::size_y);
    writes(m_stretch, &BackgroundStruct::stretch_factor);
    writes(m_red, &BackgroundStruct::color_red);
    writes(m_green, &BackgroundStruct::color_green);
    writes(m_blue, &BackgroundStruct::color_blue);
    connect(m_pictureSelect, &QPushButton::clicked, this, &SettingsBackground::slotPixmapSelect);
    connect(m_pictureDelete, &QPushButton::clicked, this, &SettingsBackground::slotPixmapDelete);

    m_input = new DmxInEditor(DmxInEditor::Owner::Background, this);
    // The two groups share their columns: labels as wide as the longest
    // label of either, every column of numbers as wide as the widest number.
    int labelWidth = m_input->labelWidth();
    for (QLabel *label : settings->findChildren<QLabel *>())
        if (grid->indexOf(label) >= 0)
            labelWidth = qMax(labelWidth, label->sizeHint().width());
    grid->setColumnMinimumWidth(0, labelWidth);
    const int numberWidth = m_posX->sizeHint().width();
    for (int column = 1; column <= 3; ++column)
        grid->setColumnMinimumWidth(column, numberWidth);
    m_input->alignColumns(labelWidth, numberWidth);

    // ---- buttons
    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setToolTip(tr("click OK to apply all changes and close the window"));
    auto *apply = new QPushButton(tr("Apply"), this);
    apply->setObjectName(QStringLiteral("apply"));
    apply->setToolTip(tr("click Apply to apply the changes"));
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setToolTip(tr("click Cancel to discard any changes"));
    connect(ok, &QPushButton::clicked, this, &SettingsBackground::slotOk);
    connect(apply, &QPushButton::clicked, this, &SettingsBackground::slotApply);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(settings);
    layout->addWidget(m_input);
    layout->addStretch();
    layout->addLayout(buttons);
}

void SettingsBackground::setSettings(ShowDocument *document, bool showHex)
{
    m_edit.setSettings(document, showHex);
    m_input->setSettings(&m_edit.working().dmx_in, std::nullopt, showHex);
    updateDisplay();
}

void SettingsBackground::showPicture()
{
    const Picture &bitmap = m_edit.working().bitmap;
    if (bitmap.isNull()) {
        m_picture->clear();
        m_pictureSize->clear();
        return;
    }
    const QImage preview = bitmap.image(QSize(PREVIEW_PX, PREVIEW_PX));
    m_picture->setPixmap(QPixmap::fromImage(preview));
    // A picture that cannot be shown is still there, and saved as it is.
    const QSize size = bitmap.size();
    m_pictureSize->setText(preview.isNull() || !size.isValid()
                               ? tr("cannot be shown")
                               : QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
}

void SettingsBackground::updateDisplay()
{
    const BackgroundStruct &bg = m_edit.working();
    showPicture();
    setQuietly(m_posX, int(qMin<quint32>(bg.position_x, 65535)));
    setQuietly(m_posY, int(qMin<quint32>(bg.position_y, 65535)));
    setQuietly(m_sizeX, int(qMin<quint32>(bg.size_x, 65535)));
    setQuietly(m_sizeY, int(qMin<quint32>(bg.size_y, 65535)));
    setQuietly(m_stretch, int(qMin<quint32>(bg.stretch_factor, 10000)));
    setQuietly(m_red, bg.color_red);
    setQuietly(m_green, bg.color_green);
    setQuietly(m_blue, bg.color_blue);
}

// ---- picture --------------------------------------------------------------------

void SettingsBackground::slotPixmapSelect()
{
    const QString filter =
        tr("All Images (*.bmp *.gif *.ico *.jpg *.jpeg *.png *.pbm *.pgm *.ppm *.xbm *.xpm);;") +
        tr("Windows Bitmap (*.bmp);;") + tr("Graphic Interchange Format (*.gif);;") +
        tr("Icon File (*.ico);;") + tr("Joint Photographic Experts Group (*.jpg *.jpeg);;") +
        tr("Portable Network Graphics (*.png);;") + tr("Portable Bitmap (*.pbm);;") +
        tr("Portable Graymap (*.pgm);;") + tr("Portable Pixmap (*.ppm);;") +
        tr("X11 Bitmap (*.xbm *.xpm);;") + tr("All Files (*.*)");
    // Cancelling the chooser keeps the picture shown and the file it came from.
    m_edit.choosePicture(m_chooser(this, tr("Choose a Bitmap File to Open"), filter));
    showPicture();
}

void SettingsBackground::slotPixmapDelete()
{
    m_edit.deletePicture();
    showPicture();
}

// ---- apply ----------------------------------------------------------------------

bool SettingsBackground::applyEdit()
{
    if (const QString refusal = m_edit.refusal(); !refusal.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), refusal);
        return false;
    }
    if (!m_edit.apply(tr("Change Background")))
        return true;
    // The applied input is within its protocol's ranges now; show it so.
    m_input->updateDisplay();
    emit valueChanged();
    return true;
}

void SettingsBackground::slotOk()
{
    if (applyEdit())
        close();
}

void SettingsBackground::slotApply()
{
    applyEdit();
}
