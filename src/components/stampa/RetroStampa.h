#pragma once
// Drawing back ends of the print component and the recording of a print.
// Positions are millimetres on the sheet, x from the left edge, y from the top.
#include "components/stampa/FontSta.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>

// A device that takes the pages of the graphic routes (printer, preview, PDF).
class RetroGrafico {
public:
    virtual ~RetroGrafico() = default;
    // Opens the device; raises ErroreRun when it cannot be opened.
    virtual void Avvia(const QSizeF& paginaMm) = 0;
    virtual void IniziaPagina(int numero) = 0;
    // One text in a box one line high; allineamento "S", "C" or "D".
    virtual void Testo(const QRectF& scatolaMm, const QString& allineamento, const FontStd& font,
                       const QString& testo) = 0;
    virtual void Immagine(const QImage& immagine, const QRectF& rettangoloMm) = 0;
    virtual void FinePagina(int numero) = 0;
    virtual void Fine() = 0;
    // Pages finished so far.
    virtual int Pagine() const = 0;
};

// One call of the print object, as the recording keeps it.
struct VoceStampa {
    QString operazione;        // AvviaDocumento, NuovaPagina, StampaTesto, StampaColonna,
                               // StampaImmagine, NuovaRiga, RigaFis, FineStampa
    int pagina = 0;
    QString slot;              // font slot in use
    double sinistra = 0;       // text box edges as set by the caller
    double destra = 0;
    double vert = 0;           // vertical position
    QRectF scatola;            // the box the text was laid in (mm), or the picture's rectangle
    QString allineamento;
    QString testo;
    double larghezza = 0;      // field width or count passed with the call
    int colonna = 0;           // column id of StampaColonna
    QSize dimImmagine;         // size in pixels of a picture
};

// Keeps every call of the print objects it is attached to, in order, so that
// layouts are tested exactly without pixels. Installed globally, it is taken
// by every print object created afterwards; the graphic routes then draw
// nothing (no printer, no preview, no PDF), the file routes still write.
class RegistroStampa {
public:
    QList<VoceStampa> voci;

    QStringList Testi() const;
    QList<VoceStampa> DiTipo(const QString& operazione) const;
    // One line a call: "pagina operazione slot allineamento [sin,des]@vert testo".
    QStringList Righe() const;
    void Svuota() { voci.clear(); }

    static void Installa(std::shared_ptr<RegistroStampa> registro);
    static std::shared_ptr<RegistroStampa> Installato();
};

// Removes the globally installed recording when it goes out of scope.
class RegistroInstallato {
public:
    RegistroInstallato() : registro(std::make_shared<RegistroStampa>()) { RegistroStampa::Installa(registro); }
    ~RegistroInstallato() { RegistroStampa::Installa(nullptr); }
    RegistroStampa* operator->() { return registro.get(); }
    std::shared_ptr<RegistroStampa> registro;
};
