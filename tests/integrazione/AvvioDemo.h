#pragma once
// The demo made by its generator, and the program started on it as the menu
// starts it: the menu's values and personal parameters of the demo's
// menu.ini, the host with the real forms, scripted dialogs.
#include "components/ini/FileIni.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"
#include "startup/Avvio.h"
#include "startup/Composizione.h"
#include "startup/Ospite.h"
#include "support/PercorsiTest.h"

#include <QProcess>
#include <functional>
#include <memory>

// Makes the demo in `cartella`; answers what went wrong, "" when done.
inline QString GeneraDemo(const QString& cartella) {
    QProcess gen;
    gen.start(CartellaSorgenti() + QStringLiteral("/tools/genera_demo.sh"), {cartella, CartellaBin() + QStringLiteral("/comiva")});
    if (!gen.waitForFinished(120000)) return QStringLiteral("il generatore non termina");
    return gen.exitCode() == 0 ? QString() : QString::fromUtf8(gen.readAllStandardError());
}

// The program started on `form` in a fresh context; `ritocca` changes the
// menu's values before the start. False when the start-up failed.
inline bool AvviaDemo(const QString& demo, const QString& form, std::shared_ptr<Contesto>& c,
                      std::shared_ptr<DialoghiScriptati>& dialoghi,
                      const std::function<void(MenuClientFinto&)>& ritocca = {}) {
    c = std::make_shared<Contesto>();
    ImpostaContesto(c);
    dialoghi = std::make_shared<DialoghiScriptati>();
    c->ggDialoghi = dialoghi;
    c->ggOspite = std::make_shared<Ospite>();
    auto* ospite = static_cast<Ospite*>(c->ggOspite.get());
    ospite->AlTermine = [] {};
    InstallaProgramma(*ospite);
    auto menu = std::make_shared<MenuClientFinto>();
    const FileIni ini(demo + QStringLiteral("/menu.ini"));
    auto valore = [&](const char* sezione, const char* chiave) {
        return ini.leggi(QString::fromLatin1(sezione), QString::fromLatin1(chiave)).value_or(QString());
    };
    menu->fileImpostazioni = valore("Menu", "FileIni");
    menu->dataLavoro = QDate::fromString(valore("Menu", "DataLavoro"), QStringLiteral("dd/MM/yyyy"));
    menu->terminale = valore("Menu", "Terminale");
    for (const char* nome : {"NomeDBAzie", "DescAzie", "codiceazie", "idazienda", "Versione", "DataVersione"})
        menu->ImpostaValore(QString::fromLatin1(nome), valore("Valori", nome));
    menu->ImpostaParPers(QStringLiteral("DatiFat"), QStringLiteral("UsaFittizio"), valore("Personal.DatiFat", "UsaFittizio"));
    menu->info.osParam = QStringLiteral("/F ") + form;
    if (ritocca) ritocca(*menu);
    return InizProgramma(QStringLiteral("/M DEMO /P COMIVA /F ") + form, [menu] { return menu; });
}
