-- Company database: the tables read at start-up and for the declarant.
-- Text keys compare without regard to case (COLLATE NOCASE); on PostgreSQL
-- create the collation "nocase" first (see condiviso.sql).

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
