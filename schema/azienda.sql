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
