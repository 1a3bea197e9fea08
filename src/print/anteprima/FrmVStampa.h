#pragma once
// The on-screen preview of a report. The print object draws each page into
// the page picture and then waits in Continua until the user asks for a page
// not produced yet or leaves; the form moves among the pages produced so far,
// keeps them as page files when page storage is on, and deletes those files
// when it closes (naming any it could not delete). An arrow is lit exactly
// when pressing it moves to another page, during the print and after it.
#include "components/stampa/FormAnteprima.h"
#include "components/stampa/Stampa.h"

#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QString>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>

class Stampa;

class FrmVStampa : public QWidget, public FormAnteprima {
    Q_OBJECT
    Q_PROPERTY(QString osRisVidKey MEMBER osRisVidKey)
    Q_PROPERTY(double odRisVidVal MEMBER odRisVidVal)
    Q_PROPERTY(QString osKeySec MEMBER osKeySec)
public:
    FrmVStampa();
    ~FrmVStampa() override;
    // The program's one instance, created on first use; after an unload the
    // next call makes a fresh one.
    static FrmVStampa* Istanza();
    static bool EsisteIstanza();

    // Setting a print object starts a preview: page-file base, page state 1,
    // first page of the page range.
    void ogStampa(Stampa* st);
    Stampa* ogStampa() const { return stampa_; }
    bool obAttivo = false;
    QString osRisVidKey;
    double odRisVidVal = 0;
    QString osKeySec;

    // Waits until the user asks for a page not produced yet or leaves.
    void Continua() override;
    // Arrow pictures after their enabled state; Qt greys disabled buttons.
    void SistImgFrecce();

    // Controls
    QPushButton* ComEsci = nullptr;
    std::array<QToolButton*, 5> imaMuovi{};  // 1 first, 2 previous, 3 next, 4 last
    QLabel* labPage = nullptr;
    QLabel* LabMsg = nullptr;
    QScrollArea* PicPrinc = nullptr;
    QLabel* PicSec = nullptr;

    // The page picture: the print object puts a finished page in it.
    void ImpImmaginePagina(const QImage& img);
    QImage LeggiImmaginePagina() const { return immagine_; }
    void SvuotaPagina();

    void imaMuovi_Click(int indice);
    void ComEsci_Click();
    // True while the print waits here for its reader.
    bool InAttesa() const { return inAttesa_; }
    // Unloads the form; false when refused (a print in progress).
    bool Scarica() override;

    // "Pag." and the page number with at least three digits.
    static QString TestoPagina(int pagina);
    // The base of the page-file names and the file of one page.
    QString RadiceFile() const { return radiceFile_; }
    QString FilePagina(int pagina) const;

    // What the print object asks of it.
    QObject* OggettoAnteprima() override { return this; }
    void MostraAnteprima(Stampa* st) override;
    void PaginaPronta(const QImage& pagina, bool ultima, bool memPag) override;
    void FineAnteprima(bool interrotta) override;
    bool AnteprimaAttiva() const override { return obAttivo; }
    bool AttesaScriptata() const override { return static_cast<bool>(attesaScriptata); }

    // Tests: called in place of the event loop while Continua waits; it
    // must press a button (next or exit), or Continua returns at once.
    std::function<void(FrmVStampa&)> attesaScriptata;

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void mostraPagina(int pagina);
    bool salvaPagina(int pagina);
    void erroreMemoria();
    void aggiornaFrecce();
    // Deletes the page files; raises 75 naming those left on disk.
    void cancellaPagine();
    bool stampaFermata() const;

    QPointer<Stampa> stampa_;
    QString radiceFile_;
    bool bProsegui_ = false;
    bool bEsci_ = false;
    bool inAttesa_ = false;
    bool stampaFinita_ = false;  // no page follows: only leaving is waited for
    int iPaginaDa_ = 0;
    QImage immagine_;
    bool scaricata_ = false;
};
