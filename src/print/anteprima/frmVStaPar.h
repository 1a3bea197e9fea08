#pragma once
// The preview size dialog "Grandezza visualizzazione stampe": a percentage
// from 50 to 180 chosen on a scroll bar while a sample text is drawn at the
// matching size (Arial, percentage / 10 points), and whether the preview
// keeps its pages as files. The caller sets VsbProp and CheMemVid, shows it
// modally and reads them back only when Confermato(): "OK" confirms, while
// the window's close box leaves the caller's values as they were.
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;

class frmVStaPar : public QDialog {
    Q_OBJECT
public:
    frmVStaPar();
    // The default instance handed to every print object; made on first use.
    static frmVStaPar* Istanza();

    QScrollBar* VsbProp;
    QLabel* LabProp;
    QWidget* PicProva;
    QCheckBox* CheMemVid;
    QPushButton* CmdOk;

    void CmdOk_Click();
    // Double click on the percentage: back to 67 with the pages kept.
    void LabProp_DblClick();
    bool Confermato() const { return confermato_; }
    // The size in points of the sample as last drawn.
    double DimensioneProva() const { return dimensione_; }
    static const QString RigaProva1;
    static const QString RigaProva2;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void vsbProp_change();
    bool confermato_ = false;
    double dimensione_ = 0;
};
