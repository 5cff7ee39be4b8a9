// The window "Web Remote": where phones and tablets open the web remote,
// as text and as a QR code, how many are connected, and whether it runs.
// It only shows what the console hands in; it asks nothing itself.
//
// Promises:
// - Non-modal; closing it hides it and changes nothing.
// - Every address is shown as selectable text and as a link; the QR code
//   holds the first one and is hidden while there is none.
// - The state line is hidden while the state is empty.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;

class RemoteWindow : public QDialog
{
    Q_OBJECT

public:
    explicit RemoteWindow(QWidget *parent = nullptr);

    // The addresses to open, as whole URLs ("http://192.168.1.10:9080/");
    // empty while the web remote does not run.
    void setAddresses(const QStringList &urls);
    QStringList addresses() const { return m_urls; }
    // The clients connected now, 0 or more.
    void setClientCount(int count);
    // One line on what the web remote does: off, or why it cannot listen.
    void setState(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The QR code at the screen's pixel ratio.
    void showCode();

    QStringList m_urls;
    QLabel *m_intro = nullptr;
    QLabel *m_links = nullptr;
    QLabel *m_code = nullptr;
    QLabel *m_clients = nullptr;
    QLabel *m_state = nullptr;
};
