// The first window of an update run: the connection to the server, its status and progress.
#ifndef CONNEXION_WINDOW_UI_H
#define CONNEXION_WINDOW_UI_H

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class ConnexionWindowUi : public QDialog
{
    Q_OBJECT

public:
    explicit ConnexionWindowUi(QWidget* parent = nullptr);

    // True emits nextPressed() at once; false does nothing.
    void setNextEnabled(bool enabled);
    bool nextEnabled() const { return true; }
    void addStatusConnexion(const QString& text);
    void setValueProgressBar(int value);
    void setTotalOnBarFile(int total);

    QLabel* statusLabel() const { return m_status; }
    QProgressBar* progressBar() const { return m_bar; }
    QPushButton* cancelButton() const { return m_cancel; }

signals:
    void nextPressed();
    void cancelPressed();

private:
    QLabel* m_title;
    QLabel* m_status;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
};

#endif
