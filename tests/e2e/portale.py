#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The desktop portal's Settings interface as GNOME's portal offers it, on the session bus named by
DBUS_SESSION_BUS_ADDRESS, with one colour scheme (org.freedesktop.appearance color-scheme: 0 no
preference, 1 dark, 2 light). Every call is written to the log file, one line each, so a test can
see that the program asked. Usage: portale.py <color-scheme> <log>"""

import sys

from gi.repository import Gio, GLib

INTERFACCIA = """
<node>
  <interface name="org.freedesktop.portal.Settings">
    <method name="ReadAll">
      <arg type="as" name="namespaces" direction="in"/>
      <arg type="a{sa{sv}}" name="value" direction="out"/>
    </method>
    <method name="Read">
      <arg type="s" name="namespace" direction="in"/>
      <arg type="s" name="key" direction="in"/>
      <arg type="v" name="value" direction="out"/>
    </method>
    <method name="ReadOne">
      <arg type="s" name="namespace" direction="in"/>
      <arg type="s" name="key" direction="in"/>
      <arg type="v" name="value" direction="out"/>
    </method>
    <signal name="SettingChanged">
      <arg type="s" name="namespace"/>
      <arg type="s" name="key"/>
      <arg type="v" name="value"/>
    </signal>
    <property name="version" type="u" access="read"/>
  </interface>
</node>
"""
ASPETTO = "org.freedesktop.appearance"


def main():
    schema, registro = int(sys.argv[1]), open(sys.argv[2], "a", buffering=1, encoding="utf-8")
    impostazioni = {ASPETTO: {"color-scheme": GLib.Variant("u", schema),
                              "contrast": GLib.Variant("u", 0)}}

    def chiamata(_connessione, _mittente, _percorso, _interfaccia, metodo, parametri, invocazione):
        registro.write(f"{metodo} {parametri.unpack()}\n")
        if metodo == "ReadAll":
            richiesti = parametri.unpack()[0]
            trovati = {n: v for n, v in impostazioni.items() if not richiesti or n in richiesti}
            invocazione.return_value(GLib.Variant("(a{sa{sv}})", (trovati,)))
            return
        spazio, chiave = parametri.unpack()
        valore = impostazioni.get(spazio, {}).get(chiave)
        if valore is None:
            invocazione.return_dbus_error("org.freedesktop.portal.Error.NotFound",
                                          f"{spazio} {chiave}: impostazione sconosciuta")
        elif metodo == "Read":  # the old call wraps the value in one more variant
            invocazione.return_value(GLib.Variant("(v)", (GLib.Variant("v", valore),)))
        else:
            invocazione.return_value(GLib.Variant("(v)", (valore,)))

    def proprieta(*_):
        return GLib.Variant("u", 2)

    nodo = Gio.DBusNodeInfo.new_for_xml(INTERFACCIA)
    ciclo = GLib.MainLoop()

    def sul_bus(connessione, _nome):
        connessione.register_object("/org/freedesktop/portal/desktop", nodo.interfaces[0], chiamata, proprieta, None)

    def nome_preso(_connessione, nome):
        registro.write(f"pronto {nome}\n")

    Gio.bus_own_name(Gio.BusType.SESSION, "org.freedesktop.portal.Desktop", Gio.BusNameOwnerFlags.NONE,
                     sul_bus, nome_preso, lambda *_: ciclo.quit())
    ciclo.run()


if __name__ == "__main__":
    main()
