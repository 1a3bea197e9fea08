"""A local SMTP server for the e-mail tests: listens on 127.0.0.1 on a free
port, which it prints on its first line, asks for a login (user and password
from the command line, no TLS), and keeps each message it accepts as
messaggioN.eml with its envelope in messaggioN.busta in the folder given.
It stops when its standard input closes."""
import os
import socket
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

cartella, utente, parola = sys.argv[1], sys.argv[2].encode(), sys.argv[3].encode()


class Gestore:
    numero = 0

    async def handle_DATA(self, server, session, envelope):
        Gestore.numero += 1
        base = os.path.join(cartella, "messaggio%d" % Gestore.numero)
        with open(base + ".tmp", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        with open(base + ".busta", "w") as f:
            f.write(envelope.mail_from + "\n" + "\n".join(envelope.rcpt_tos) + "\n")
        os.replace(base + ".tmp", base + ".eml")
        return "250 OK"


def autentica(server, session, envelope, meccanismo, dati):
    ok = isinstance(dati, LoginPassword) and dati.login == utente and dati.password == parola
    return AuthResult(success=ok, handled=False)


s = socket.socket()
s.bind(("127.0.0.1", 0))
porta = s.getsockname()[1]
s.close()
c = Controller(Gestore(), hostname="127.0.0.1", port=porta, authenticator=autentica,
               auth_required=True, auth_require_tls=False)
c.start()
print(porta, flush=True)
sys.stdin.read()
c.stop()
