#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class MachineRequests;

// Tfm_about: the program's name, the brand's maker line, a link to its site and a button to the
// contact page.
class Tfm_about : public QDialog {
    Q_OBJECT
  public:
    Tfm_about(const QString& programFileName, MachineRequests& machine, QWidget* parent = nullptr);

    // Fills the texts and shows the box modally, 160 right of and 100 below the owner's corner.
    void showAbout();

    QLabel* Label1() const { return title_; }
    QLabel* Label4() const { return maker_; }
    // The version of this build.
    QLabel* versionLabel() const { return version_; }
    QLabel* lbl_web() const { return web_; }
    QPushButton* btn_contact() const { return contact_; }
    QPushButton* btn_close() const { return close_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString programFileName_;
    MachineRequests& machine_;
    QLabel* title_;
    QLabel* version_;
    QLabel* maker_;
    QLabel* web_;
    QPushButton* contact_;
    QPushButton* close_;
};
