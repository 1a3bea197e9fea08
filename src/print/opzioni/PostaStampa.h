#pragma once
// What the program tells the print component about sending a print by
// e-mail: the PDF and e-mail parameters of the menu by name, the recipient,
// subject, body and server settings copied into the current print's options
// (placeholders "§Name§" replaced), and the login asked again through the
// print options dialog when the server refuses it. The password is copied to
// the options only; no text built here ever carries it.
#include <QDateTime>
#include <QString>

class QWidget;

// A PDF or e-mail parameter. "EmailOggetto" and "EmailTesto" are the subject
// and body chosen by "EmailNumTesto" in the shared database's row
// "PdfEmail" of Appoggio; "EmailInd" and "EmailReplay" come as
// "\"<EmailCentro>\" <address>" unless "EmailTipoInvio" is "S" or "E".
QString LeggiParEmail(const QString& nome);

// Prepares the e-mail of the current print (ggStampaCorr) when its option
// "EmailInvia" is on. Raises ErroreRun -123 when login, password, server or
// every recipient is missing, and writes nothing then.
void PrepInvioEmail(const QString& destinatario);

// The subject or body with its placeholders replaced; `oggetto` picks the
// time placeholder ("Ora" in a subject, "OraRid" in a body).
QString SostituisciSegnapostiEmail(const QString& testo, bool oggetto, const QDateTime& adesso);

// Asks the e-mail data again in the print options dialog; true when the
// user confirmed them (and, with `prepara`, the e-mail was prepared again).
bool RichiestaLoginEmail(bool prepara, bool usaOpzCorrenti);

// Lets the user pick a customer's address from the account list (keys F2
// to F5; any other key does nothing) for the form's box txt(indice): the
// address cell picked, or the account's default address ("EmailPredef").
// Written into the box unless `noScrittura`; `scelta` tells which address
// column was picked (1-4), 0 when the account was picked on its code.
QString CercaEmailCliente(QWidget& form, int indice, int keyCode, int& shift, const QString& modo, bool noScrittura,
                          int& scelta);

// Hands these routines to the print job (called by InstallaServiziStampanti).
void InstallaServiziPosta();
