#pragma once
// The print object of the print component. Report code sets it up, selects
// named font slots, places texts, columns and pictures on the page in
// millimetres and asks for new pages; the object sends the pages along the
// route of its options: 0 printer, 1 on-screen preview, 2 text or CSV file,
// 3 fixed-width lines, or a PDF file when the options ask for the automatic
// PDF. It never calls the owner's StaIntest: the writers print their page
// headings themselves after AvviaDocumento and NuovaPagina.
#include "components/core/Valore.h"
#include "components/stampa/FontSta.h"
#include "components/stampa/FormAnteprima.h"
#include "components/stampa/OpzSta.h"
#include "components/stampa/RetroStampa.h"

#include <QImage>
#include <QMap>
#include <QMarginsF>
#include <QPointF>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class FormStampaInCorso;
class UscitaRighe;

// True for the names of the PDF printer drivers: with the automatic PDF the
// print object writes the file itself, no printer of that name is needed.
bool EDriverPdf(const QString& nome);

// The owner of a print job (a writer or a list screen). Its oiStaAtt keeps
// the program's print-in-progress flag; the print object writes 0 into it
// when the print has ended.
class ChiamanteStampa {
public:
    virtual ~ChiamanteStampa() = default;
    virtual void oiStaAtt(int valore);
    virtual int oiStaAtt() const;
    // The owner's page heading; the print object does not call it.
    virtual void StaIntest() {}
};

class Stampa : public QObject {
    Q_OBJECT
public:
    Stampa();
    ~Stampa() override;

    // --- Wiring ---
    void ImpChiamante(ChiamanteStampa* chiamante) { chiamante_ = chiamante; }
    ChiamanteStampa* LeggiChiamante() const { return chiamante_; }
    std::shared_ptr<OpzSta> ogOpzSta;          // the options of the print
    RifAnteprima ofrmVStampa;                  // preview form
    FormStampaInCorso* ofrmStampaInCorso = nullptr;  // print-in-progress box
    QString ogPrtStam;                         // the program's current printer (name)
    void ImpFormZoom(QWidget* form) { formZoom_ = form; }
    QWidget* LeggiFormZoom() const { return formZoom_; }
    void ImpTitoloPrg(const QString& t) { titoloPrg_ = t; }
    QString LeggiTitoloPrg() const { return titoloPrg_; }
    // Folder of the temporary files; the preview's page files are named from it.
    void ImpCartellaTemp(const QString& cartella);
    QString LeggiCartellaTemp() const { return cartellaTemp_; }
    void ImpRadiceFile(const QString& radice) { radiceFile_ = radice; }
    QString LeggiRadiceFile() const { return radiceFile_; }
    QString LeggiRadiceAgg() const;
    void ImpMostraMsg(bool b) { mostraMsg_ = b; }
    bool LeggiMostraMsg() const { return mostraMsg_; }
    bool LeggiAvvisiIni() const { return mostraMsg_; }
    void ImpSezioneSta(const QString& s) { sezione_ = s; }
    QString LeggiSezioneSta() const { return sezione_; }
    // Named parameters ("UltRigaGrigia", "AttendiPdfNoStampa", "DirImgEmail",
    // "Orientamento": 2 turns the page to landscape).
    void ImpParametro(const QString& nome, int tipo, const Valore& valore);
    Valore LeggiParametro(const QString& nome) const;
    // Commands by name: "AttivaPdfAutom" answers true when this job's pages
    // go to the automatic PDF file.
    bool LanciaComandoSta(const QString& nome, int tipo, Valore& risultato);
    // The automatic PDF file of this job, once "AttivaPdfAutom" turned it on.
    QString LeggiFilePdf() const { return filePdf_; }

    // --- The job ---
    // 0 clears; 1 stop (progress box, preview closed); 2 exit from the preview.
    void ImpInterruzione(int codice);
    int LeggiInterruzione() const { return interruzione_; }
    // True once the user stopped the print.
    bool LeggiAnnullata();
    // Asked once after the set-up: true when the job must not start (no
    // printer, no output file); the reason has been shown.
    bool VerificaAvvio(int codice, bool& nonAvviare);
    bool ControllaAvvio(int codice, bool& nonAvviare) { return VerificaAvvio(codice, nonAvviare); }
    void ImpCodiceAvvio(int codice) { codiceAvvio_ = codice; }
    void ImpValoreAvvio(int codice) { ImpCodiceAvvio(codice); }
    // Starts the document on the route of the options: its first page exists.
    void AvviaDocumento();
    void NuovaPagina();
    // Ends the document; with the preview, once the user has left it. Always
    // writes 0 into the owner's oiStaAtt, errors included.
    void FineStampa();
    bool DocumentoAvviato() const { return avviato_; }
    // Started and not ended yet: a report of several parts goes on in it.
    bool DocumentoAperto() const { return avviato_ && !finito_; }

    // --- Page geometry (millimetres) ---
    double LeggiMrSin() const { return mrSin_; }
    void ImpMrSin(double v) { mrSin_ = v; }
    double LeggiMrDes() const { return mrDes_; }
    void ImpMrDes(double v) { mrDes_ = v; }
    double LeggiMrAlt() const { return mrAlt_; }
    void ImpMrAlt(double v) { mrAlt_ = v; }
    double LeggiMrBas() const { return mrBas_; }
    void ImpMrBas(double v) { mrBas_ = v; }
    double LeggiFatt() const { return fatt_; }
    void ImpFatt(double v) { fatt_ = v; }
    // Dx, Dy: where the page starts inside the printable area of the sheet.
    // Every position is measured from that origin, and the page runs from it
    // to the printable area's far edges (LeggiLargPag, LeggiAltPag), so the
    // margins are measured inside the printable area and nothing lands in a
    // printer's unprintable band. The PDF and images print the whole sheet.
    double LeggiDx() const { return dx_; }
    void ImpDx(double v) { dx_ = v; }
    double LeggiDy() const { return dy_; }
    void ImpDy(double v) { dy_ = v; }
    double LeggiInterl() const { return interl_; }
    void ImpInterl(double v) { interl_ = v; }
    int LeggiForzaVert() const { return forzaVert_; }
    void ImpForzaVert(int v) { forzaVert_ = v; }
    double LeggiLargPag() const;
    double LeggiAltPag() const;

    // --- Fonts ---
    void ImpFontLab(const QString& slot) { fontLab_ = slot; }
    QString LeggiFontLab() const { return fontLab_; }
    void ImpFontCampo(const QString& slot) { fontCampo_ = slot; }
    QString LeggiFontCampo() const { return fontCampo_; }
    // Keeps its own copy of the holder's font under the slot name.
    void ImpFont(const FontSta& holder, const QString& slot);
    // A holder carrying the stored font itself (FontDefinito false when the
    // slot does not exist).
    FontSta LeggiFont(const QString& slot) const;
    void LeggiFont(const QString& slot, FontSta& holder) const { holder = LeggiFont(slot); }
    // Keeps a font under a name (the shared print fonts).
    void FontAdd(const QString& nome, const FontSta& holder) { ImpFont(holder, nome); }
    bool EsisteFont(const QString& slot) const;
    // Font of the next texts and column definitions.
    void UsaFont(const QString& slot);
    QString LeggiFontUsato() const { return slotUsato_; }

    // --- Texts ---
    // Edges of the text box; a left edge inside the left margin means the
    // margin, a right edge 0 (or not right of the left one) the right margin.
    void ImpSinistra(double v) { sinistra_ = v; }
    double LeggiSinistra() const { return sinistra_; }
    void ImpDestra(double v) { destra_ = v; }
    double LeggiDestra() const { return destra_; }
    // "S" left, "C" centre, "D" right.
    void ImpAllineamento(const QString& a);
    QString LeggiAllineamento() const { return allineamento_; }
    // Prints in the current box at the vertical position without ending the
    // line. In fixed width the field takes `larghezza` columns (0: the text's
    // own length) and is followed by one blank.
    void StampaTesto(double larghezza, const QString& testo, bool flag = true);
    void StampaTesto(double larghezza, const QString& testo, bool flag, Valore& esito) {
        StampaTesto(larghezza, testo, flag);
        esito = Valore(true);
    }
    void NuovaRiga();
    // Printed width of a text in the current font, millimetres (characters in fixed width).
    double LarghezzaTesto(const QString& testo) const;
    void LarghezzaTesto(const QString& testo, double& larghezza) const { larghezza = LarghezzaTesto(testo); }
    double LeggiVert() const { return vert_; }
    void ImpVert(double y) { vert_ = y; }
    int LeggiNumPag() const { return numPag_; }
    void ImpIndicatore(int v) { indicatore_ = v; }
    // Height of a line of the current font plus the line spacing.
    double AltezzaRiga() const;

    // --- Report columns ---
    void AzzeraColonne();
    // The next column, after the previous one ("P" starts a new set at the
    // left margin), as wide as the width text in the current font; in fixed
    // width `caratteri` columns (0: the width text's length). Returns its id.
    int DefColonna(const QString& testoLarghezza, int caratteri = 0, const QString& segno = QString());
    void StampaColonna(int id, const Valore& valore, bool flag = true, int n = 0,
                       const QString& a = QString(), const QString& b = QString());
    double LeggiSinColonna(int id) const;
    double LeggiDesColonna(int id) const;
    void FineIntestazione(int, int, int) {}
    // True when that many lines do not fit on the current page.
    bool VerificaSpazio(int righe, const QString& = QString(), int = 0) const;

    // --- Fixed width ---
    int LeggiColonnaFis() const;
    // (0, "", "", True) ends the current line; a count above 0 adds that many
    // fill characters to it.
    void RigaFis(int conta, const QString& riempimento, const QString& testo, bool flag = true);

    // --- Pictures (GIF, PNG) ---
    void StampaImmagine(const QImage& immagine, double x, double y, double larghezza, double altezza);
    // Loads the file first; a missing or unreadable file raises ErroreRun 53.
    void StampaImmagine(const QString& file, double x, double y, double larghezza, double altezza);

    // --- Preview state ---
    int LeggiPagVis() const { return pagVis_; }
    void ImpPagVis(int p) { pagVis_ = p; }
    int LeggiUltPag() const { return ultPag_; }
    void ImpUltPag(int p) { ultPag_ = p; }
    int LeggiUltPagMem() const { return ultPagMem_; }
    void ImpUltPagMem(int p) { ultPagMem_ = p; }
    bool LeggiMemPag() const { return memPag_; }
    void ImpMemPag(bool b) { memPag_ = b; }
    void ImpUscita(bool b) { uscita_ = b; }
    bool LeggiUscita() const { return uscita_; }

    // --- Back ends and results ---
    // Replaces the device of the graphic routes (tests, image rendering).
    void ImpRetro(std::unique_ptr<RetroGrafico> retro);
    RetroGrafico* LeggiRetro() const { return retro_.get(); }
    void ImpRegistro(std::shared_ptr<RegistroStampa> r) { registro_ = std::move(r); }
    std::shared_ptr<RegistroStampa> LeggiRegistro() const { return registro_; }
    // The file the job wrote (route 2, route 3, automatic PDF), empty otherwise.
    QString LeggiFileUscita() const { return fileUscita_; }
    // Pages finished by the document (on the printer and the PDF, those of
    // the options' page range "PaginaDa" to "PaginaA").
    int PagineProdotte() const { return pagineProdotte_; }
    // The route the document actually takes: 0..3, or 4 for the automatic PDF.
    int PercorsoEffettivo() const;
    static constexpr int PercorsoPdf = 4;

private:
    struct Colonna { double sin = 0, des = 0; int car0 = 0, car = 0; };

    void registra(VoceStampa v);
    VoceStampa voce(const QString& op) const;
    QRectF scatola() const;
    FontStd fontUsato() const;
    int percorso() const;
    QString nomeStampante() const;
    bool percorsoNoto() const;
    void apriRetro();
    bool paginaNellIntervallo() const;
    void iniziaPaginaGrafica();
    void chiudiPaginaGrafica(bool ultima);
    void attendiAnteprima();
    void terminaAnteprima();
    void scriviCampo(double sinMm, double desMm, int car0, int car, const QString& testo, bool colonna);
    void chiudiProprietario();
    void chiudiInCorso();
    void mostraPaginaInCorso();
    void elaboraEventi();
    // Sends the automatic PDF by e-mail when the options ask for it.
    void inviaPosta();

    ChiamanteStampa* chiamante_ = nullptr;
    QPointer<QWidget> formZoom_;
    QString titoloPrg_, cartellaTemp_, radiceFile_, sezione_;
    bool mostraMsg_ = false;
    QMap<QString, Valore> parametri_;
    int interruzione_ = 0;
    bool annullata_ = false;
    int codiceAvvio_ = 0;

    double mrSin_ = 1, mrDes_ = 1, mrAlt_ = 10, mrBas_ = 10, fatt_ = 1, dx_ = 0, dy_ = 0, interl_ = 0;
    int forzaVert_ = 0;
    QSizeF pagina_{210, 297};       // the sheet
    QMarginsF bandaNonStampabile_;  // of the printer, on each side of the sheet
    QPointF origine() const;

    QString fontLab_ = QStringLiteral("CorpoLab"), fontCampo_ = QStringLiteral("CorpoCampo");
    QMap<QString, std::shared_ptr<FontStd>> fonts_;
    QString slotUsato_;
    double sinistra_ = 0, destra_ = 0, vert_ = 0;
    QString allineamento_ = QStringLiteral("S");
    int indicatore_ = 0;
    double altezzaRigaCorrente_ = 0;
    QList<Colonna> colonne_;

    int pagVis_ = 1, ultPag_ = 1, ultPagMem_ = 0;
    bool memPag_ = true, uscita_ = false;

    bool avviato_ = false, finito_ = false, pdf_ = false, paginaAperta_ = false;
    int numPag_ = 0;
    int pagineProdotte_ = 0;
    QString filePdf_, fileUscita_;
    std::unique_ptr<RetroGrafico> retro_;
    bool retroImposto_ = false;
    std::unique_ptr<UscitaRighe> uscita2_;  // the line output of routes 2 and 3
    std::shared_ptr<RegistroStampa> registro_;
};
