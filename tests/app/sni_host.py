#!/usr/bin/python3
"""A minimal StatusNotifierItem host for the tests, on the session bus of DBUS_SESSION_BUS_ADDRESS.

  sni_host.py serve FILE          be the StatusNotifierWatcher (with a host registered); write the
                                  service of every item that registers to FILE, one per line
  sni_host.py activate SERVICE    what a host sends on a left click: Activate(x, y)
  sni_host.py labels SERVICE      print the labels of the item's exported menu, one per line
  sni_host.py click SERVICE LABEL send "clicked" to the menu entry with that label
"""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"


class Watcher(dbus.service.Object):
    def __init__(self, bus, out):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []
        self.out = out

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # Items register either a bus name or an object path on their own connection.
        name = service if not service.startswith("/") else sender
        path = service if service.startswith("/") else "/StatusNotifierItem"
        self.items.append(name + path)
        with open(self.out, "a") as f:
            f.write(name + " " + path + "\n")
        self.StatusNotifierItemRegistered(name + path)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    # Qt reads the properties through an interface built from the introspection data, which
    # dbus-python writes without properties: describe the interface in full.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s")
    def Introspect(self):
        return """<node><interface name="org.kde.StatusNotifierWatcher">
<method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
<signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
<property name="RegisteredStatusNotifierItems" type="as" access="read"/>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<property name="ProtocolVersion" type="i" access="read"/>
</interface><interface name="org.freedesktop.DBus.Properties">
<method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
<method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
</interface></node>"""

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }


def item(service):
    name, _, path = service.partition(" ")
    return dbus.SessionBus().get_object(name, path or "/StatusNotifierItem")


def menu(service):
    obj = item(service)
    path = obj.Get(ITEM, "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
    return dbus.SessionBus().get_object(obj.bus_name, path)


def entries(layout):
    _id, props, children = layout
    yield int(_id), str(props.get("label", ""))
    for child in children:
        yield from entries(child)


def main():
    command = sys.argv[1]
    if command == "serve":
        from gi.repository import GLib

        DBusGMainLoop(set_as_default=True)
        bus = dbus.SessionBus()
        watcher = Watcher(bus, sys.argv[2])
        name = dbus.service.BusName(WATCHER, bus)  # owned while this reference lives
        GLib.MainLoop().run()
        del watcher, name
    elif command == "activate":
        item(sys.argv[2]).Activate(0, 0, dbus_interface=ITEM)
    elif command == "labels":
        m = menu(sys.argv[2])
        m.AboutToShow(0, dbus_interface=MENU)
        _revision, layout = m.GetLayout(0, -1, dbus.Array([], signature="s"), dbus_interface=MENU)
        for _id, label in entries(layout):
            if label:
                print(label.replace("&", ""))
    elif command == "click":
        m = menu(sys.argv[2])
        m.AboutToShow(0, dbus_interface=MENU)
        _revision, layout = m.GetLayout(0, -1, dbus.Array([], signature="s"), dbus_interface=MENU)
        for _id, label in entries(layout):
            if label.replace("&", "") == sys.argv[3]:
                m.Event(_id, "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0), dbus_interface=MENU)
                return
        sys.exit("no menu entry " + sys.argv[3])


if __name__ == "__main__":
    main()
