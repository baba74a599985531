// TfrmAbout: the product and maker lines; any click or losing activation
// closes it, and it frees itself.
#pragma once

#include <QDialog>

class QLabel;

class TfrmAbout : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QLabel* lbApp;
    QLabel* lbCompany;
    QLabel* lbCompanyEn;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PlaceLabels();
};
