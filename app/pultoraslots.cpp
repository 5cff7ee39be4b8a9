// The console's slots. Each hands its work to a collaborator.
#include "app/pultora.h"

#include "app/appinfo.h"
#include "app/filecommands.h"
#include "app/guide.h"
#include "app/prompter.h"
#include "model/showcommands.h"
#include "model/typetables.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLocale>
#include <QTime>

// ---- surface ----------------------------------------------------------------

void Pultora::slotControlBlink(const QWidget *Widget)
{
    m_surface.blink(Widget, nullptr);
}

void Pultora::slotControlBlink(const QWidget *Widget1, const QWidget *Widget2)
{
    m_surface.blink(Widget1, Widget2);
}

void Pultora::slotSettingsChanged(bool bUpdateOverview)
{
    Q_UNUSED(bUpdateOverview); // the overview follows the document itself
    // A type this console cannot show makes no control; the show still
    // counts as changed.
    if (!isControlType(m_editRecord.control_type))
        m_document.markUnsaved();
    else
        m_edit->apply(m_editRecord);
}

void Pultora::slotSettingsChanged()
{
    slotSettingsChanged(true);
}

void Pultora::slotSettingsChanged(QWidget *WidgetPtr)
{
    const SettingStruct *record = m_document.control(m_surface.idOf(WidgetPtr));
    if (!record)
        return;
    m_editRecord = *record;
    slotSettingsChanged(true);
}

void Pultora::slotSettingsChangedBackground()
{
    // The background dialog pushed its change on the document; the surface
    // and the inputs follow the document's signal.
}

// ---- consistency check ---------------------------------------------------------

bool Pultora::checkConsitence(SettingStruct *stSetting)
{
    return !stSetting || m_consistency.checkControl(*stSetting);
}

void Pultora::slotCheckConsistence()
{
    m_consistency.openOptions();
}

bool Pultora::slotConsistenceCheckChanged(bool InfoWhenSucceded)
{
    return m_consistency.checkSurface(InfoWhenSucceded);
}

bool Pultora::slotConsistenceCheckChanged()
{
    return slotConsistenceCheckChanged(true);
}

// ---- editing commands ---------------------------------------------------------

void Pultora::slotAdd()
{
    m_edit->add();
}

void Pultora::slotEdit()
{
    m_edit->edit();
}

void Pultora::slotMove()
{
    m_edit->startMove();
}

void Pultora::slotDelete()
{
    m_edit->remove();
}

void Pultora::slotCut()
{
    m_edit->cut();
}

void Pultora::slotCopy()
{
    m_edit->copy();
}

void Pultora::slotPaste()
{
    m_edit->paste();
}
void Pultora::slotOverview()
{
    m_overview.open();
}

void Pultora::slotLockUnlockScreen()
{
    m_edit->toggleLock();
}

void Pultora::slotBackground()
{
    m_settingsDialogs.showBackground();
}

void Pultora::slotPreferences()
{
    m_settingsDialogs.showPreferences();
}

void Pultora::slotPreferencesChanged()
{
    // The dialog pushed its change; one that locked the screen closes the
    // windows once the dialog's own slot has returned.
    if (locked())
        QMetaObject::invokeMethod(
            this, [this] { closeDialogs(); }, Qt::QueuedConnection);
}

void Pultora::slotWebRemote()
{
    showRemoteWindow();
}

void Pultora::slotSettingsEdit(const QWidget *widget)
{
    m_edit->edit(widget);
}

void Pultora::slotSettingsDelete(const QWidget *widget)
{
    if (!m_overview.groupRemove(widget))
        m_edit->remove(widget);
}

void Pultora::slotSettingsShiftUp(const QWidget *widget)
{
    m_overview.shift(widget, true);
}

void Pultora::slotSettingsShiftDown(const QWidget *widget)
{
    m_overview.shift(widget, false);
}

void Pultora::slotSettingsChangedGroupBegin()
{
    m_overview.beginGroup();
}

void Pultora::slotSettingsChangedGroup(const QWidget *widget, int Action, int Column,
                                       QString sValue)
{
    m_overview.change(widget, Action, Column, sValue);
}

void Pultora::slotSettingsChangedGroupEnd()
{
    m_overview.endGroup();
}

void Pultora::slotCloseSettingsOverviewDlg()
{
    m_overview.close();
}

void Pultora::slotHelp()
{
    openGuide(QApplication::activeWindow());
}

void Pultora::openGuide(const QWidget *window)
{
    if (locked())
        return;
    // The guide that came with the program, at the chapter of the window in
    // front; the web site when none came with it or none could be opened.
    const QUrl url = guide::guideUrl(guide::chapterFor(window ? window : this),
                                     QLocale(m_localeName), QCoreApplication::applicationDirPath());
    if (!url.isEmpty() && (m_openUrl ? m_openUrl(url) : QDesktopServices::openUrl(url)))
        return;
    m_prompter->tell(
        this, QMessageBox::Information, tr("Help %1").arg(appinfo::productName()),
        tr("<b>Help</b><br>Please use the online help on the website:<br>%1").arg(m_helpLink));
}

void Pultora::slotAbout()
{
    m_settingsDialogs.showAbout();
}

void Pultora::slotCheckForSoftwareUpdate(bool GiveInfoForNoUpdates)
{
    m_settingsDialogs.checkForUpdate(GiveInfoForNoUpdates);
}

void Pultora::slotCheckForSoftwareUpdate()
{
    slotCheckForSoftwareUpdate(true);
}

// ---- file commands ------------------------------------------------------------

void Pultora::slotConfigNew()
{
    if (locked() || !maybeSave())
        return;
    m_files->clear();
}

void Pultora::slotConfigOpen()
{
    m_files->open();
}

void Pultora::slotConfigReload()
{
    m_files->reload();
}

void Pultora::slotConfigRecentFile()
{
    if (auto *action = qobject_cast<QAction *>(sender()))
        m_files->openRecent(action->data().toString());
}

void Pultora::slotConfigOpenLastSession()
{
    m_files->openLastSession();
}

void Pultora::slotConfigAppend()
{
    m_files->append();
}

bool Pultora::slotConfigSave()
{
    return m_files->save();
}

bool Pultora::slotConfigSaveAs()
{
    return m_files->saveAs();
}

bool Pultora::slotConfigSaveCopy()
{
    return m_files->saveCopy();
}

void Pultora::slotImportForeignGuiControl()
{
    m_files->importForeignGui(true);
}

void Pultora::slotImportForeignGuiBackground()
{
    m_files->importForeignGui(false);
}

void Pultora::slotDocumentation()
{
    m_files->documentation();
}

// ---- outputs ------------------------------------------------------------------

void Pultora::slotControlPushClicked(SettingDmxStruct DmxData, int DmxValue)
{
    sendOutput(DmxData, DmxValue);
}

void Pultora::slotControlSliderChanged(SettingDmxStruct DmxData, int value)
{
    sendOutput(DmxData, value);
}

void Pultora::slotControlEncoderChanged(SettingDmxStruct DmxData, int DmxValue)
{
    sendOutput(DmxData, DmxValue);
}

void Pultora::slotControlPotiChanged(SettingDmxStruct DmxData, int DmxValue)
{
    sendOutput(DmxData, DmxValue);
}

// ---- trigger timer ------------------------------------------------------------

void Pultora::slotCheckTrigger()
{
    m_surface.showTime(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    m_surface.springBack();
}

// ---- quitting -----------------------------------------------------------------

void Pultora::slotQuit()
{
    if (!maybeSave())
        return;
    m_quitConfirmed = true;
    m_quit();
}
