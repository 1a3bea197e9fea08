#pragma once
// The message form: a modal box with a text and one to three buttons, sized
// to its text. The program calls the static msgCom and MsgErrfrm, which go
// through the dialog service (ctx().ggDialoghi); the real service shows an
// instance of this form.
#include "components/core/Valore.h"
#include "components/platform/ServizioDialoghi.h"

#include <QDialog>
#include <QList>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>

class ErroreRun;
class Schermo;
class QLabel;
class QPushButton;
class QTextEdit;

// What the box's geometry depends on. All sizes in twips.
struct MisureMsgCom {
    int larghezzaSchermo = 0;
    int altezzaUtile = 0;          // the height the taskbar leaves free
    int corniceOrizzontale = 0;    // window width less client width
    int corniceVerticale = 0;      // window height less client height
    double odRisVidVal = 1.0;      // resolution factor applied to the design sizes
    std::optional<int> larghezzaBottone;  // every button's width; design width otherwise
    int numeroBottoni = 1;
    int piLargForm = 80;           // window width in percent of the screen
    int piLatiForm = 600;          // margin of a one-line message, both sides together
    bool pbSempreTxt = false;
    // The window width (frame included) that shows the whole title beside
    // the frame's buttons; the box is never narrower, within the screen.
    int larghezzaTitolo = 0;
    // Size of the message with no wrapping (larghezza 0) or wrapped at the
    // given width.
    std::function<QSize(int larghezza)> misuraTesto;
};

struct LayoutMsgCom {
    int larghezza = 0;             // window
    int altezza = 0;
    int larghezzaClient = 0;
    int altezzaClient = 0;
    bool modoTesto = false;        // scrolling text box instead of the label
    bool aCapo = false;            // the label wraps at the client width
    bool gapFisso = false;         // the buttons decided the width
    QRect messaggio;               // label or text box
    QList<QRect> bottoni;
};

// Design values of the form's controls, before the resolution scaling.
namespace DisegnoMsgCom {
constexpr int TopEtichetta = 180, TopTesto = 120;
constexpr int LarghezzaBottone = 1515, AltezzaBottone = 435;
}  // namespace DisegnoMsgCom

LayoutMsgCom CalcolaLayoutMsgCom(const MisureMsgCom& m);

class frmMsgCom : public QDialog {
    Q_OBJECT
    // Read and written by name by the screen scaling.
    Q_PROPERTY(double odRisVidVal MEMBER odRisVidVal)
    Q_PROPERTY(QString osRisVidKey MEMBER osRisVidKey)
    Q_PROPERTY(QString osKeySec MEMBER osKeySec)
public:
    explicit frmMsgCom(const Schermo& schermo, QWidget* parent = nullptr);

    // The program's entry points, through the dialog service. pvCom3 counts
    // only with pvCom2; a missing title is the application's title. The
    // result is the 1-based number of the button pressed, 0 when the box was
    // closed from its frame.
    static int msgCom(const QString& psLabel, const QString& psCom1 = QStringLiteral("&Ok"),
                      const std::optional<QString>& pvCom2 = std::nullopt,
                      const std::optional<QString>& pvCom3 = std::nullopt,
                      const std::optional<QString>& pvTitolo = std::nullopt, int piLargForm = 80,
                      int piLatiForm = 600, int pvFontSize = 0, int piComDefault = 1,
                      bool pbSempreTxt = false);
    // prima + "Errore(" + number + "): " + description [+ " - " + source] + dopo,
    // with one button "&Ok".
    static int MsgErrfrm(const ErroreRun& errore, const QString& psMsgAggPri = {},
                         const QString& psMsgAggDop = {}, const std::optional<QString>& pvTitolo = std::nullopt);
    static int MsgErrfrm(const Valore& pvError, const Valore& pverr, const QString& psMsgAggPri = {},
                         const QString& psMsgAggDop = {}, const std::optional<QString>& pvTitolo = std::nullopt);

    // Builds the box for the request (once per instance); Esegui shows it
    // modally and returns the button pressed. pvWidthCom sets the width of
    // every button.
    void Prepara(const RichiestaMsgCom& r, std::optional<int> pvWidthCom = std::nullopt);
    int Esegui();

    const LayoutMsgCom& Layout() const { return layout_; }
    QLabel* LabMessaggio() const { return labMessaggio_; }
    QTextEdit* TxtMessaggio() const { return txtMessaggio_; }
    const QList<QPushButton*>& ComEsegui() const { return comEsegui_; }

    // Resolution scaling: the factor applied to the design sizes, set by the
    // scaling at load (the message-box factor of [Risoluzione Video]).
    double odRisVidVal = 1.0;
    QString osRisVidKey;
    QString osKeySec;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QSize misuraTesto(int larghezzaTwips) const;

    const Schermo& schermo_;
    QLabel* labMessaggio_;
    QTextEdit* txtMessaggio_;
    QList<QPushButton*> comEsegui_;
    QPushButton* bottoneAnnulla_ = nullptr;
    LayoutMsgCom layout_;
    int txtComRit_ = 0;
};
