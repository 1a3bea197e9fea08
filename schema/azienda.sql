-- Company database: the tables read at start-up and for the declarant.
-- Text keys compare without regard to case (COLLATE NOCASE); on a PostgreSQL
-- server the program turns them into citext columns (ServerPg::SchemaPerServer).

CREATE TABLE Ditta (
    CodFisc        VARCHAR(16),
    PartIva        VARCHAR(11),
    RagSoc         VARCHAR(100),
    Nome           VARCHAR(100),
    StatoGiurid    VARCHAR(1),
    Moneta         VARCHAR(10) COLLATE NOCASE,
    CodLira        VARCHAR(10) COLLATE NOCASE,
    CodEuro        VARCHAR(10) COLLATE NOCASE,
    OperCambio     VARCHAR(1),
    CambioLiraEuro DOUBLE PRECISION
);

CREATE TABLE Monete (
    Moneta     VARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
    NumDec     SMALLINT,
    NumDecGest SMALLINT,
    Operatore  VARCHAR(1),
    Cee        VARCHAR(1)
);

CREATE TABLE TabMagazzino (
    NumDecQta SMALLINT
);

CREATE TABLE IvaDichPeriodGen (
    CodFiscDichiarante VARCHAR(16),
    PartIvaDich        VARCHAR(11),
    DichGruppo         VARCHAR(1),
    CodFiscFirmaDich   VARCHAR(16),
    Carica             VARCHAR(2),
    FirmaDich          VARCHAR(1),
    RagSocDich         VARCHAR(100),
    IvaDichGenCampo1   VARCHAR(50),
    IvaDichGenCampo3   VARCHAR(1),
    IvaDichGenCampo4   VARCHAR(1),
    IvaDichGenData1    DATE
);

-- Activities of the company; the lowest code is the default activity.
CREATE TABLE DitAttivita (
    DitAttivita VARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Descrizione VARCHAR(60)
);

-- Yearly VAT data of an activity: settlement frequency ("M" monthly,
-- otherwise quarterly) and the credit carried into the year.
CREATE TABLE IvaRiep (
    Anno              SMALLINT NOT NULL,
    DitAttivita       VARCHAR(10) COLLATE NOCASE NOT NULL,
    TipoLiq           VARCHAR(1),
    CreditoInizioAnno DOUBLE PRECISION,
    PRIMARY KEY (Anno, DitAttivita)
);

-- Computed periodic settlement of one activity: one row per month (1-12)
-- or quarter (1-4).
CREATE TABLE IvaDichPeriod (
    Anno              SMALLINT NOT NULL,
    DitAttivita       VARCHAR(10) COLLATE NOCASE NOT NULL,
    Periodo           SMALLINT NOT NULL,
    OpAttive          DOUBLE PRECISION,
    OpPass            DOUBLE PRECISION,
    IvaDebPeriodo     DOUBLE PRECISION,
    IvaCredPeriodo    DOUBLE PRECISION,
    DebRisultPeriodo  DOUBLE PRECISION,
    CredRisultPeriodo DOUBLE PRECISION,
    IvaNonVersMin     DOUBLE PRECISION,
    CreditoPrec       DOUBLE PRECISION,
    IvaDichPerImp13   DOUBLE PRECISION,
    CredSpecDetr      DOUBLE PRECISION,
    Interessi         DOUBLE PRECISION,
    IvaDovutaPer      DOUBLE PRECISION,
    IvaCreditoPer     DOUBLE PRECISION,
    AccontoVers       DOUBLE PRECISION,
    CreditIvaComp     DOUBLE PRECISION,
    CredF24           DOUBLE PRECISION,
    IvaDichPerImp14   DOUBLE PRECISION,
    IvaDichPerCamp2   VARCHAR(1),
    IvaDichPerCamp3   VARCHAR(1),
    IvaDichPerCamp6   VARCHAR(1),
    IvaDichPerCamp7   VARCHAR(1),
    PRIMARY KEY (Anno, DitAttivita, Periodo)
);

-- Computed joint settlement of a company with several activities: one row
-- per year, communication and module. Mese 0 marks a quarterly module.
CREATE TABLE IvaDichPeriodRiep (
    Anno              SMALLINT NOT NULL,
    NumCom            SMALLINT NOT NULL,
    Modulo            SMALLINT NOT NULL,
    Mese              SMALLINT,
    Trimestre         SMALLINT,
    Periodo           SMALLINT,
    CreditoAnnoPrec   DOUBLE PRECISION,
    OpAttive          DOUBLE PRECISION,
    OpPass            DOUBLE PRECISION,
    IvaDebPeriodo     DOUBLE PRECISION,
    IvaCredPeriodo    DOUBLE PRECISION,
    DebRisultPeriodo  DOUBLE PRECISION,
    CredRisultPeriodo DOUBLE PRECISION,
    IvaNonVersMin     DOUBLE PRECISION,
    CreditoPrec       DOUBLE PRECISION,
    IvaDichPerImp13   DOUBLE PRECISION,
    CredSpecDetr      DOUBLE PRECISION,
    Interessi         DOUBLE PRECISION,
    IvaDovutaPer      DOUBLE PRECISION,
    IvaCreditoPer     DOUBLE PRECISION,
    AccontoVers       DOUBLE PRECISION,
    CreditIvaComp     DOUBLE PRECISION,
    CredF24           DOUBLE PRECISION,
    IvaDichPerImp14   DOUBLE PRECISION,
    IvaDichPerCamp2   VARCHAR(1),
    IvaDichPerCamp3   VARCHAR(1),
    IvaDichPerCamp6   VARCHAR(1),
    IvaDichPerCamp7   VARCHAR(1),
    PRIMARY KEY (Anno, NumCom, Modulo)
);

-- Periodic VAT settlement communications: one header per year and number
-- (the quarter), one module row per settled period.
CREATE TABLE LiqIvaTest (
    Anno                    SMALLINT NOT NULL,
    NumCom                  SMALLINT NOT NULL,
    CodiceFiscale           VARCHAR(16),
    PartitaIva              VARCHAR(11),
    PartitaIvaControllante  VARCHAR(11),
    UltimoMese              SMALLINT,
    LiquidazioneGruppo      VARCHAR(1),
    CFDichiarante           VARCHAR(16),
    CodiceCaricaDichiarante VARCHAR(2),
    CodiceFiscaleSocieta    VARCHAR(11),
    FirmaDichiarazione      VARCHAR(1),
    CFIntermediario         VARCHAR(16),
    ImpegnoPresentazione    VARCHAR(1),
    DataImpegno             DATE,
    FirmaIntermediario      VARCHAR(1),
    FlagConferma            VARCHAR(1),
    PRIMARY KEY (Anno, NumCom)
);

CREATE TABLE LiqIvaDett (
    Anno                     SMALLINT NOT NULL,
    NumCom                   SMALLINT NOT NULL,
    Modulo                   SMALLINT NOT NULL,
    Mese                     SMALLINT,
    Trimestre                SMALLINT,
    Subfornitura             VARCHAR(1),
    EventiEccezionali        VARCHAR(10),
    TotaleOperazioniAttive   DOUBLE PRECISION,
    TotaleOperazioniPassive  DOUBLE PRECISION,
    IvaEsigibile             DOUBLE PRECISION,
    IvaDetratta              DOUBLE PRECISION,
    IvaDovuta                DOUBLE PRECISION,
    IvaCredito               DOUBLE PRECISION,
    DebitoPrecedente         DOUBLE PRECISION,
    CreditoPeriodoPrecedente DOUBLE PRECISION,
    CreditoAnnoPrecedente    DOUBLE PRECISION,
    VersamentiAutoUe         DOUBLE PRECISION,
    CreditiImposta           DOUBLE PRECISION,
    InteressiDovuti          DOUBLE PRECISION,
    Acconto                  DOUBLE PRECISION,
    ImportoDaVersare         DOUBLE PRECISION,
    ImportoACredito          DOUBLE PRECISION,
    OpStraordinarie          VARCHAR(1),
    MetodoAcconto            VARCHAR(1),
    PRIMARY KEY (Anno, NumCom, Modulo)
);

-- ===================================================================
-- Accounting records of the suite. The suite's accounting
-- programs keep them; this program only reads them, for the invoice-data
-- extraction. Account codes are texts: group "GG", ledger "MM", account
-- "CCCCCC" (shown GG-MM-CCCCCC). Flags are "S"/"N"; an empty flag is Null
-- or "" and the extraction takes both alike.

-- Countries. Iso "IT" or empty means Italy.
CREATE TABLE Stati (
    Stato       VARCHAR(3) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Descrizione VARCHAR(50),
    Iso         VARCHAR(2) COLLATE NOCASE,
    Cee         VARCHAR(1) COLLATE NOCASE   -- "S" member of the European Union
);

-- Decoding table of the communications' codes: document types ("FETipDoc")
-- and VAT natures ("FENatura") as the tax authority's schema lists them.
CREATE TABLE Decodifiche (
    TipoTab     VARCHAR(10) COLLATE NOCASE NOT NULL,
    Codice      VARCHAR(10) COLLATE NOCASE NOT NULL,
    Descrizione VARCHAR(80),
    PRIMARY KEY (TipoTab, Codice)
);
INSERT INTO Decodifiche (TipoTab, Codice, Descrizione) VALUES
    ('FETipDoc', 'TD01', 'Fattura'),
    ('FETipDoc', 'TD04', 'Nota di credito'),
    ('FETipDoc', 'TD05', 'Nota di debito'),
    ('FETipDoc', 'TD07', 'Fattura semplificata'),
    ('FETipDoc', 'TD08', 'Nota di credito semplificata'),
    ('FETipDoc', 'TD10', 'Fattura di acquisto intracomunitario beni'),
    ('FETipDoc', 'TD11', 'Fattura di acquisto intracomunitario servizi'),
    ('FENatura', 'N1', 'Escluse ex art. 15'),
    ('FENatura', 'N2', 'Non soggette'),
    ('FENatura', 'N3', 'Non imponibili'),
    ('FENatura', 'N4', 'Esenti'),
    ('FENatura', 'N5', 'Regime del margine / IVA non esposta in fattura'),
    ('FENatura', 'N6', 'Inversione contabile'),
    ('FENatura', 'N7', 'IVA assolta in altro stato UE');

-- Chart of accounts: ledger accounts and the clients' and suppliers'
-- accounts with their identity.
CREATE TABLE PianoConti (
    Gruppo         VARCHAR(2) COLLATE NOCASE NOT NULL,
    Mastro         VARCHAR(2) COLLATE NOCASE NOT NULL,
    Conto          VARCHAR(6) COLLATE NOCASE NOT NULL,
    Descrizione    VARCHAR(60),
    RagSoc         VARCHAR(80),
    RagSoc2        VARCHAR(80),
    Cognome        VARCHAR(60),
    Nome           VARCHAR(60),
    StatoGiurid    VARCHAR(1) COLLATE NOCASE,  -- "G" legal person, "F" natural person
    PartIva        VARCHAR(28) COLLATE NOCASE,
    CodFisc        VARCHAR(16) COLLATE NOCASE,
    Indirizzo      VARCHAR(60),
    CAP            VARCHAR(10),
    Comune         VARCHAR(60),
    Localita       VARCHAR(60),
    Pr             VARCHAR(2) COLLATE NOCASE,
    Stato          VARCHAR(3) COLLATE NOCASE,  -- country, joins Stati.Stato
    CliForFittizio VARCHAR(1) COLLATE NOCASE,  -- "S" fictitious client or supplier
    OperazRilev    VARCHAR(1) COLLATE NOCASE,  -- "E" its registrations stay out of the invoice data
    BeneServizio   VARCHAR(1) COLLATE NOCASE,  -- "S" services account, otherwise goods
    -- A foreign counterparty's permanent establishment in Italy and its fiscal
    -- representative, written in the invoice-data file when present.
    FAStabOrgIndir      VARCHAR(80),
    FAStabOrgCap        VARCHAR(80),
    FAStabOrgComune     VARCHAR(80),
    FAStabOrgPr         VARCHAR(80),
    FAStabOrgStato      VARCHAR(80),
    FARappFiscCodIdFisc VARCHAR(80),
    FARappFiscRagSoc    VARCHAR(80),
    FARappFiscStato     VARCHAR(80),
    -- Addresses of a customer: main, administration, sales, shipping.
    Email          VARCHAR(100),
    Email2         VARCHAR(100),
    Email3         VARCHAR(100),
    Email4         VARCHAR(100),
    PRIMARY KEY (Gruppo, Mastro, Conto)
);

-- Causals of the registrations.
CREATE TABLE Causali (
    Causale         VARCHAR(5) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Descrizione     VARCHAR(60),
    TipoCausale     VARCHAR(2) COLLATE NOCASE,  -- "V"/"VS" sales, "A"/"AS" purchases (S: deferred VAT), "G" journal
    CausConcatenata VARCHAR(5) COLLATE NOCASE,  -- causal registered together with this one
    FATipoDoc       VARCHAR(4) COLLATE NOCASE,  -- document type of the invoice data, e.g. "TD20"
    NotaVar         VARCHAR(1) COLLATE NOCASE,  -- "S" variation note
    SplitPay        VARCHAR(1) COLLATE NOCASE,  -- "S" split payment
    IvaGruppo       VARCHAR(5) COLLATE NOCASE,
    RevCharge       VARCHAR(1) COLLATE NOCASE,  -- "N" no reverse charge
    ImportNoCee     VARCHAR(1) COLLATE NOCASE,  -- "S" import from outside the EU
    IntraCee        VARCHAR(1) COLLATE NOCASE,  -- "S" intra-EU operation
    ImportAutRsm    VARCHAR(1) COLLATE NOCASE   -- "S" stays out of the clients' invoice data
);

-- VAT codes.
CREATE TABLE Tabiva (
    Iva          VARCHAR(5) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Descrizione  VARCHAR(60),
    Aliquota     DOUBLE PRECISION,             -- rate in percent
    FENatura     VARCHAR(5) COLLATE NOCASE,    -- nature of a line without VAT ("N1" .. "N7")
    FEForzaSplit VARCHAR(1) COLLATE NOCASE,    -- "S" a zero-rate line keeps the registration's collectability
    AllegCF      VARCHAR(1) COLLATE NOCASE,    -- "N" stays out of the invoice data
    RevCharge    VARCHAR(1) COLLATE NOCASE,    -- "S" reverse-charge code
    Imposta      VARCHAR(1) COLLATE NOCASE,    -- kept by the suite; the extraction does not read it
    RigaIva      VARCHAR(10)                   -- line of the yearly VAT return, quoted in notes
);

-- VAT registers of a year. A sales register ("V") of a haulage business
-- (Trasportatori "S") dates its documents by their VAT period.
CREATE TABLE LibriIva (
    Anno          SMALLINT NOT NULL,
    TipoReg       VARCHAR(1) COLLATE NOCASE NOT NULL,  -- "V" sales, "A" purchases
    Pref          VARCHAR(5) COLLATE NOCASE NOT NULL,  -- prefix of the register's documents
    Descrizione   VARCHAR(60),
    Trasportatori VARCHAR(1) COLLATE NOCASE,
    PRIMARY KEY (Anno, TipoReg, Pref)
);

-- Registrations: header, lines (line 1 is the counterparty) and VAT lines.
-- The ...Fitt twins hold the registrations of fictitious clients, in a
-- number space of their own; their columns are the same.
CREATE TABLE MovPnTes (
    Anno        SMALLINT NOT NULL,
    NumReg      INTEGER NOT NULL,
    Causale     VARCHAR(5) COLLATE NOCASE,
    Descrizione VARCHAR(60),
    DataReg     DATE,
    DataDoc     DATE,
    NumDoc      VARCHAR(20) COLLATE NOCASE,   -- the supplier's number of a received document
    PreDoc      VARCHAR(5) COLLATE NOCASE,    -- its prefix; of an issued one, the register's prefix
    DataProt    DATE,                         -- protocol of an issued document
    NumProt     INTEGER,
    PreProt     VARCHAR(5) COLLATE NOCASE,
    Importo     DOUBLE PRECISION,             -- total of the document
    OperazRilev VARCHAR(1) COLLATE NOCASE,    -- "I" never in the invoice data, "F" always
    IvaPerCassa VARCHAR(1) COLLATE NOCASE,    -- "S" VAT on a cash basis
    AnnoIva     SMALLINT,                     -- VAT period; empty: that of DataDoc
    PeriodoIva  SMALLINT,
    PRIMARY KEY (Anno, NumReg)
);
CREATE INDEX MovPnTes_DataDoc ON MovPnTes (DataDoc);
CREATE INDEX MovPnTes_DataReg ON MovPnTes (DataReg);

CREATE TABLE MovPnDett (
    Anno            SMALLINT NOT NULL,
    NumReg          INTEGER NOT NULL,
    RigReg          SMALLINT NOT NULL,
    GruppoPartita   VARCHAR(2) COLLATE NOCASE,
    MastroPartita   VARCHAR(2) COLLATE NOCASE,
    ContoPartita    VARCHAR(6) COLLATE NOCASE,
    DareAvere       VARCHAR(1) COLLATE NOCASE,  -- "D" debit, "A" credit
    Importo         DOUBLE PRECISION,
    ImpostaIndetr   DOUBLE PRECISION,           -- non-deductible VAT of the line
    GruppoBlackList VARCHAR(2) COLLATE NOCASE,  -- on line 1: the foreign counterparty
    MastroBlackList VARCHAR(2) COLLATE NOCASE,  --   of a customs bill
    ContoBlackList  VARCHAR(6) COLLATE NOCASE,
    Iva             VARCHAR(5) COLLATE NOCASE,  -- VAT code of a taxable line
    Imposta         DOUBLE PRECISION,           -- and its VAT
    PRIMARY KEY (Anno, NumReg, RigReg)
);

CREATE TABLE MovPnIva (
    Anno          SMALLINT NOT NULL,
    NumReg        INTEGER NOT NULL,
    RigIva        SMALLINT NOT NULL,
    Iva           VARCHAR(5) COLLATE NOCASE,
    Imponibile    DOUBLE PRECISION,
    Imposta       DOUBLE PRECISION,
    GruppoPartita VARCHAR(2) COLLATE NOCASE,   -- counterparty of the VAT line
    MastroPartita VARCHAR(2) COLLATE NOCASE,
    ContoPartita  VARCHAR(6) COLLATE NOCASE,
    PRIMARY KEY (Anno, NumReg, RigIva)
);

CREATE TABLE MovPnTesFitt (
    Anno        SMALLINT NOT NULL,
    NumReg      INTEGER NOT NULL,
    Causale     VARCHAR(5) COLLATE NOCASE,
    Descrizione VARCHAR(60),
    DataReg     DATE,
    DataDoc     DATE,
    NumDoc      VARCHAR(20) COLLATE NOCASE,
    PreDoc      VARCHAR(5) COLLATE NOCASE,
    DataProt    DATE,
    NumProt     INTEGER,
    PreProt     VARCHAR(5) COLLATE NOCASE,
    Importo     DOUBLE PRECISION,
    OperazRilev VARCHAR(1) COLLATE NOCASE,
    IvaPerCassa VARCHAR(1) COLLATE NOCASE,
    AnnoIva     SMALLINT,
    PeriodoIva  SMALLINT,
    PRIMARY KEY (Anno, NumReg)
);
CREATE INDEX MovPnTesFitt_DataDoc ON MovPnTesFitt (DataDoc);
CREATE INDEX MovPnTesFitt_DataReg ON MovPnTesFitt (DataReg);

CREATE TABLE MovPnDettFitt (
    Anno            SMALLINT NOT NULL,
    NumReg          INTEGER NOT NULL,
    RigReg          SMALLINT NOT NULL,
    GruppoPartita   VARCHAR(2) COLLATE NOCASE,
    MastroPartita   VARCHAR(2) COLLATE NOCASE,
    ContoPartita    VARCHAR(6) COLLATE NOCASE,
    DareAvere       VARCHAR(1) COLLATE NOCASE,
    Importo         DOUBLE PRECISION,
    ImpostaIndetr   DOUBLE PRECISION,
    GruppoBlackList VARCHAR(2) COLLATE NOCASE,
    MastroBlackList VARCHAR(2) COLLATE NOCASE,
    ContoBlackList  VARCHAR(6) COLLATE NOCASE,
    Iva             VARCHAR(5) COLLATE NOCASE,
    Imposta         DOUBLE PRECISION,
    PRIMARY KEY (Anno, NumReg, RigReg)
);

CREATE TABLE MovPnIvaFitt (
    Anno          SMALLINT NOT NULL,
    NumReg        INTEGER NOT NULL,
    RigIva        SMALLINT NOT NULL,
    Iva           VARCHAR(5) COLLATE NOCASE,
    Imponibile    DOUBLE PRECISION,
    Imposta       DOUBLE PRECISION,
    GruppoPartita VARCHAR(2) COLLATE NOCASE,
    MastroPartita VARCHAR(2) COLLATE NOCASE,
    ContoPartita  VARCHAR(6) COLLATE NOCASE,
    PRIMARY KEY (Anno, NumReg, RigIva)
);

-- ===================================================================
-- Invoice-data communication: one header per registration and
-- communication, one line per VAT line (two for a re-summed zero line).
-- Detail rows share the header's seven key columns; the stages delete the
-- lines before their header. NumCanc 0 and Stato "N": not cancelled;
-- NumInv 0: not sent.
CREATE TABLE DatiFatTest (
    AnnoCom       SMALLINT NOT NULL,
    NumCom        SMALLINT NOT NULL,
    AnnoReg       SMALLINT NOT NULL,
    NumReg        INTEGER NOT NULL,             -- + 100000 for fictitious clients' registrations
    NumCanc       SMALLINT NOT NULL DEFAULT 0,
    Tipo          VARCHAR(1) COLLATE NOCASE NOT NULL,   -- "E" issued, "R" received
    Stato         VARCHAR(1) COLLATE NOCASE NOT NULL,   -- "N", "C" cancelled with the file, "E" singly
    NumInv        SMALLINT NOT NULL DEFAULT 0,
    Progr         INTEGER NOT NULL DEFAULT 0,
    GruppoPartita VARCHAR(2) COLLATE NOCASE,
    MastroPartita VARCHAR(2) COLLATE NOCASE,
    ContoPartita  VARCHAR(6) COLLATE NOCASE,
    TipoDocumento VARCHAR(4) COLLATE NOCASE,
    DataDoc       DATE,
    NumDoc        VARCHAR(30),
    DataReg       DATE,
    ImportoTotale DOUBLE PRECISION,
    NomeFile      VARCHAR(5),
    BollaDoganale VARCHAR(1) COLLATE NOCASE,
    PRIMARY KEY (AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato)
);
-- Whether a registration already stands in a communication.
CREATE INDEX DatiFatTest_Registrazione ON DatiFatTest (AnnoReg, NumReg, NumCanc);

CREATE TABLE DatiFatDett (
    AnnoCom           SMALLINT NOT NULL,
    NumCom            SMALLINT NOT NULL,
    AnnoReg           SMALLINT NOT NULL,
    NumReg            INTEGER NOT NULL,
    NumCanc           SMALLINT NOT NULL DEFAULT 0,
    Tipo              VARCHAR(1) COLLATE NOCASE NOT NULL,
    Stato             VARCHAR(1) COLLATE NOCASE NOT NULL,
    NumDet            SMALLINT NOT NULL,
    Aliquota          DOUBLE PRECISION,
    Natura            VARCHAR(5) COLLATE NOCASE,
    ImponibileImporto DOUBLE PRECISION,
    Imposta           DOUBLE PRECISION,
    EsigibilitaIva    VARCHAR(1) COLLATE NOCASE,  -- "I", "D", "S" or empty
    Detraibile        DOUBLE PRECISION,            -- written by the line screen only
    Deducibile        VARCHAR(1) COLLATE NOCASE,
    PRIMARY KEY (AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato, NumDet)
);
