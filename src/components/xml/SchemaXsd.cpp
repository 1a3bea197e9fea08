#include "components/xml/SchemaXsd.h"

#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlschemas.h>

#include <array>
#include <cstring>
#include <memory>

static void inizRisorseXsd() { Q_INIT_RESOURCE(schemi_xsd); }

namespace comiva {

namespace {

Q_LOGGING_CATEGORY(logSchema, "comiva.xsd")

constexpr const char* kPrefisso = "qrc:";

// libxml2 resolves the schemas' relative imports against the base address, so
// the resources are offered under "qrc:/..." through an input handler of our own.
int corrisponde(const char* uri) { return uri && std::strncmp(uri, kPrefisso, std::strlen(kPrefisso)) == 0; }

void* apri(const char* uri) {
    auto* f = new QFile(QLatin1Char(':') + QString::fromUtf8(uri + std::strlen(kPrefisso)));
    if (!f->open(QIODevice::ReadOnly)) {
        delete f;
        return nullptr;
    }
    return f;
}

int leggi(void* contesto, char* buffer, int len) {
    return static_cast<int>(static_cast<QFile*>(contesto)->read(buffer, len));
}

int chiudi(void* contesto) {
    delete static_cast<QFile*>(contesto);
    return 0;
}

const char* percorso(SchemaTrasmissione s) {
    switch (s) {
    case SchemaTrasmissione::DatiFattura20: return "qrc:/xsd/datifattura20/DatiFatturav2.0.xsd";
    case SchemaTrasmissione::DatiFattura21: return "qrc:/xsd/datifattura21/DatiFatturav2.1.xsd";
    case SchemaTrasmissione::Ivp2017: return "qrc:/xsd/ivp17/fornituraIvp_2017_v1.xsd";
    case SchemaTrasmissione::Ivp2018: return "qrc:/xsd/ivp18/fornituraIvp_2018_v1.xsd";
    }
    return "";
}

struct LiberaSchema {
    void operator()(xmlSchemaPtr s) const { xmlSchemaFree(s); }
};

QMutex mutexSchemi;

// Each schema is parsed once per process; a parsed schema is read-only and can
// serve any number of validations.
xmlSchemaPtr schemaCompilato(SchemaTrasmissione s, QString& errore) {
    static std::array<std::unique_ptr<xmlSchema, LiberaSchema>, 4> schemi;
    static bool registrato = false;
    QMutexLocker blocco(&mutexSchemi);
    if (!registrato) {
        inizRisorseXsd();
        xmlInitParser();
        xmlRegisterInputCallbacks(corrisponde, apri, leggi, chiudi);
        registrato = true;
    }
    auto& voce = schemi[static_cast<size_t>(s)];
    if (!voce) {
        xmlSchemaParserCtxtPtr pc = xmlSchemaNewParserCtxt(percorso(s));
        if (pc) {
            voce.reset(xmlSchemaParse(pc));
            xmlSchemaFreeParserCtxt(pc);
        }
        if (!voce) errore = QStringLiteral("schema %1 non leggibile").arg(NomeSchema(s));
    }
    return voce.get();
}

struct Raccolta {
    EsitoSchema* esito;
    bool primo = true;
};

// Keeps the first fault only: later ones usually follow from it.
void suErrore(void* dati, xmlErrorPtr e) {
    auto* r = static_cast<Raccolta*>(dati);
    if (!e || e->level < XML_ERR_ERROR) return;
    QString testo = QString::fromUtf8(e->message ? e->message : "").trimmed();
    qCWarning(logSchema).noquote() << "riga" << e->line << testo;
    if (!r->primo) return;
    r->primo = false;
    r->esito->riga = e->line;
    r->esito->dettaglio = testo;
    if (auto* nodo = static_cast<xmlNodePtr>(e->node)) {
        r->esito->elemento = QString::fromUtf8(reinterpret_cast<const char*>(nodo->name));
        if (nodo->type == XML_ELEMENT_NODE && nodo->children && !nodo->children->next &&
            nodo->children->type == XML_TEXT_NODE) {
            xmlChar* c = xmlNodeGetContent(nodo);
            r->esito->valore = QString::fromUtf8(reinterpret_cast<const char*>(c));
            xmlFree(c);
        }
    }
}

}  // namespace

QString NomeSchema(SchemaTrasmissione s) {
    switch (s) {
    case SchemaTrasmissione::DatiFattura20: return QStringLiteral("DatiFattura 2.0");
    case SchemaTrasmissione::DatiFattura21: return QStringLiteral("DatiFattura 2.1");
    case SchemaTrasmissione::Ivp2017: return QStringLiteral("IVP 2017");
    case SchemaTrasmissione::Ivp2018: return QStringLiteral("IVP 2018");
    }
    return {};
}

QString EsitoSchema::descrizione() const {
    if (valido) return {};
    if (elemento.isEmpty())
        return riga > 0 ? QStringLiteral("struttura non valida alla riga %1").arg(riga)
                        : QStringLiteral("file non leggibile come XML");
    QString d = QStringLiteral("elemento <%1> non valido").arg(elemento);
    if (!valore.isNull()) d += QStringLiteral(" (valore \"%1\")").arg(valore);
    if (riga > 0) d += QStringLiteral(" alla riga %1").arg(riga);
    return d;
}

EsitoSchema ValidaSchema(const QString& file, SchemaTrasmissione s) {
    EsitoSchema esito;
    QString errore;
    xmlSchemaPtr schema = schemaCompilato(s, errore);
    if (!schema) {
        esito.dettaglio = errore;
        qCWarning(logSchema).noquote() << errore;
        return esito;
    }
    Raccolta raccolta{&esito};
    xmlDocPtr doc = xmlReadFile(QFile::encodeName(file).constData(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc) {
        const xmlError* e = xmlGetLastError();
        esito.riga = e ? e->line : 0;
        esito.dettaglio = QStringLiteral("file non leggibile come XML");
        xmlResetLastError();
        return esito;
    }
    xmlSchemaValidCtxtPtr vc = xmlSchemaNewValidCtxt(schema);
    xmlSchemaSetValidStructuredErrors(vc, suErrore, &raccolta);
    const int rc = xmlSchemaValidateDoc(vc, doc);
    xmlSchemaFreeValidCtxt(vc);
    xmlFreeDoc(doc);
    esito.valido = rc == 0;
    if (!esito.valido && esito.dettaglio.isEmpty()) esito.dettaglio = QStringLiteral("validazione non riuscita (%1)").arg(rc);
    return esito;
}

}  // namespace comiva
