#pragma once
// The invoice-data writer: for one company, one communication and one kind
// of invoice ("E" clients, block DTE; any other value suppliers, block DTR)
// it reads DatiFatTest joined with DatiFatDett, the counterparty's account
// and its countries, and writes the "DAT20" file: header, own identity, one
// counterparty block per account, one document per registration, one VAT
// summary per line; in a definitive run it marks every registration written
// with the send number, its position in its file and, for split sends, the
// file's progressive.
//
// The run form sets the public members and calls AvviaStampa (the entry
// point); oiErrore then says how it went: 0 done, -1 stop the run, above 0
// the number of errors (ask whether to go on with the next company).
//
// Contract:
// - Files are written under a temporary name and take their final name only
//   when every file of the send is complete; a failed or stopped run leaves
//   them under the temporary name, and an earlier complete file of the same
//   name stays as it was.
// - The end of a run goes write, check, commit, final name, report: every
//   file complete, then the writer's own checks and both published schemas;
//   a file that fails keeps its temporary name, nothing is marked and the
//   user reads that it must not be sent. A definitive run then writes its
//   marks with the record of its renames (RinomineDatiFat) in one short
//   transaction; only after the commit do the files take their final names.
//   No transaction is held during the pass (nor while a preview waits).
// - Once the marks are committed the send stands (InvioConfermato): a print
//   error after it is told as such and never undoes it. InvioConcluso is
//   called between the final names and the report.
// - A file never holds more than 1000 counterparty blocks (the run splits at
//   1000 even without the split option), a counterparty block more than 1000
//   documents, a document more than 1000 summaries; a split send has at most
//   26 files.
// - A document is written, numbered and marked only once its first VAT
//   summary is: a registration whose lines are all left out is reported and
//   stays unsent. Document types outside the schema's list are refused and
//   reported.
// - A company without a valid 11-digit VAT number is refused with a message:
//   the schema has no own identity without it.
#include "common/ScritturaXml.h"
#include "components/stampa/Stampa.h"
#include "invoicedata/file/FileDatiFat.h"
#include "invoicedata/file/RinomineDatiFat.h"

#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class FontSta;
class GestRecordset;
class OpzSta;
class ErroreRun;
class StampaDatiFat;

class stDatiFat : public ChiamanteStampa {
public:
    stDatiFat();
    ~stDatiFat() override;
    stDatiFat(const stDatiFat&) = delete;
    stDatiFat& operator=(const stDatiFat&) = delete;

    // --- Inputs of a run ---
    QString osIdDbase;
    QString osIdAzienda;
    QString osDescAzie;
    QString osNomeFile;
    int oiAnno = 0;
    int oiNumCom = 0;
    int oiNumInvio = 0;
    QString osCosaEstr;
    int oiTipoSta = 0;          // 0 trial, 1 definitive, 2 re-processing of send oiIdentif
    int oiIdentif = 0;
    QString osCfDichiarante;
    QString osCodiceCaricaDichiarante;
    QString osDirInvio;
    QString osCodiceFiscaleDitta;
    QString osPartitaIvaDitta;
    QString osDittaRagSoc;
    QString osStatoGiurid;
    QString osCognome;
    QString osNome;
    bool obUnicaAzie = true;
    bool obStampa = false;
    bool obEstrFile = true;
    bool obFileXml = true;
    int oiUltimaDitta = 1;
    int oiOrdin = 0;
    bool obMolteAnag = false;
    int oiMaxClie = 1000;
    QString osTitolo;
    bool obEstraiAnag = true;
    std::shared_ptr<OpzSta> ogOpzSta;   // the report's print options

    // --- Outcome ---
    int oiErrore = 0;
    bool obStaAtt = false;
    bool obStampato = false;

    // The print-in-progress flag of the program.
    int oiStaAtt() const override;
    void oiStaAtt(int valore) override;

    // Called on the run's print object once it is set up, before the
    // document starts (tests give it their own drawing device or play a stop).
    std::function<void(Stampa&)> PreparaStampa;
    // Called after every row of the pass (tests play a user's stop there).
    std::function<void(Stampa&)> DopoRiga;
    // Called once the marks are committed, before the final names (tests
    // end the process there).
    std::function<void()> DopoConferma;
    // Called once a definitive send is committed and every file of it has
    // its final name, before its report: the run gives its lock back there,
    // as the send needs nothing more of it.
    std::function<void()> InvioConcluso;

    void AvviaStampa();
    // Ends the preview a call left open for a later company or kind (the
    // run ended before its last call); the preview then waits for the user
    // to leave it. Nothing when no preview is open.
    void concludiDocumento();

    // The query of the run and its selection clause.
    QString PrepSql() const;
    QString SqlWhere() const;

    // What the last run wrote: the final paths of its complete files, in order.
    const QStringList& FileScritti() const { return fileScritti_; }
    const QString& CampiMancanti() const { return scrittura_.CampiMancanti(); }
    const QString& Segnalazioni() const { return scrittura_.Segnalazioni(); }
    // The last run's files are ones the schema rejects: they must not be sent.
    bool NonInviabile() const { return mbNonInviabile; }
    // The last run's marks were committed: its send happened, whatever
    // failed after (a rename completed by the next run, the print).
    bool InvioConfermato() const { return mbConfermato; }

    // The run tells a stop itself, with every company and kind of its range:
    // set, the writer leaves its own box of a stop out.
    bool obStopAlChiamante = false;
    // What the last run left, for that account: whether its file or its
    // report was begun, the temporary names of files a stop or a failure
    // left incomplete, and whether its report was stopped after the send.
    bool ParteIniziata() const { return mbParteIniziata; }
    const QStringList& FileIncompleti() const { return fileIncompleti_; }
    bool StampaInterrotta() const { return mbStampaInterrotta; }

    // The description of the record being written, for the lists.
    QString DescAgg() const;

private:
    // A failure whose message has been shown already.
    struct ErroreMostrato : std::exception {};
    bool eClienti() const;
    Valore valore(const char* colonna) const;
    QString campo(const char* colonna) const;
    double numero(const char* colonna) const;

    bool PreparaDitta();
    void ContaBlocchi();
    void ApriFile();
    void ChiudiFileCompleto();
    bool ScriviTestata();
    void ScriRecCoda(int piChiudi);
    bool ScriviRecDett();
    void ApriAnagrafica();
    void ScriviAnagrafica();
    void ScriviAltriDati(const QString& iso);
    void ApriDocumento();
    void ScriviRiepilogo();
    void ChiudiRegistrazione();
    void ScriviObbligatorio(const RegolaXml& regola, const QString& valore, const QString& descAgg = {},
                            bool altiComeTrattino = false);
    bool TipoDocumentoAmmesso(const QString& tipo) const;
    QString RiferimentoRegistrazione() const;
    void ControllaValore(const RegolaXml& regola, const QString& scritto);
    // The steps of a run.
    void AzzeraStato();
    bool PreparaPassata();
    bool AvviaReport();
    bool reportDopoInvio() const;
    void StampaInviati();
    QString PrepSql(int numInv) const;
    QString SqlWhere(int numInv) const;
    bool AvviaFile();
    bool Passata();
    void ChiudiQuery();
    void ConcludiFile(bool fermato);
    void ChiudiCorpo();
    bool Controlla();
    void NonInviabile(const QString& motivo);
    std::vector<RinominaDatiFat> Rinomine() const;
    void Conferma();
    void NomiDefinitivi();
    void Incompleto(bool fermato = false);
    void ErroreStampa(const ErroreRun& e);
    bool PreparaStampaRun();
    void ConcludiStampa();
    bool Annullata() const;

    ScritturaXml scrittura_;
    std::shared_ptr<Stampa> mgStampa;
    std::shared_ptr<FontSta> mgFontSta;
    std::unique_ptr<StampaDatiFat> report_;
    QString msTitoloPag;
    QString msTitoloElab;
    std::unique_ptr<GestRecordset> mgRecordset;
    QString msChiaveRs;
    mutable std::unordered_map<const char*, int> indici_;  // column name -> position in the query
    std::vector<FileXmlDatiFat> file_;   // the files of the send, the last one open
    QStringList fileScritti_;
    QStringList fileIncompleti_;
    bool mbParteIniziata = false;
    bool mbStampaInterrotta = false;

    bool mbEstraiZero = true;
    bool mbPIvaGiurid = false;
    bool mbEstraiCodFisc = false;
    bool mbMolteFile = false;       // split naming, asked or forced by the schema's limit
    int miMaxAnag = kMaxAnagFile;   // counterparty blocks per file
    bool mbNonInviabile = false;
    bool mbConfermato = false;      // the marks are committed
    bool mbFileIniziato = false;
    bool mbFileConclusi = false;    // every file has its final name
    bool mbEsitoDetto = false;      // a failure's message said what is on disk
    bool mbRigaNelFile = false;     // the current row reached the file
    // A registration to mark once the pass is over.
    struct MarcaDatiFat {
        int annoReg = 0;
        long numReg = 0;
        int numCanc = 0;
        long progr = 0;
        QString nomeFile;
    };
    std::vector<MarcaDatiFat> marche_;
    static constexpr size_t kMarchePerIstruzione = 500;
    void Marca(size_t inizio, size_t fine);

    QString msTipoAnag;
    QString msIdDitta;              // own VAT number, 11 digits
    int miContaFile = 0;
    int miNumInvioFile = 0;
    QString msProgrFile;
    long mlProgrDoc = 0;
    long mlProgrAnag = 0;
    bool mbLimiteSuperato = false;
    long mlBlocchiPrevisti = 0;

    // Counterparty and document of the current row, and what of them is open in the file.
    QString msGruppoXml, msMastroXml, msContoXml;
    int miAnnoRegXml = 0;
    long mlNumRegXml = 0;
    QString msRifRiga;
    bool mbAnagAperta = false;
    bool mbDocAperto = false;
    bool mbRegScritta = false;     // the current registration has a summary in the file
    bool mbRegRifiutata = false;   // its document type is outside the schema's list
    bool mbDogana = false;
    int miDocAnag = 0;
    int miRiepDoc = 0;
};
