#!/usr/bin/env python3
"""Lab UDP tool: send one datagram and print the answers, or listen on a port and print what comes.

  udp.py send ADDRESS PORT TEXT [--bind ADDR:PORT] [--wait SECONDS]
  udp.py listen ADDR:PORT [--device IFACE] [--wait SECONDS] [--ready FILE]

Prints one line per datagram, "from ADDRESS:PORT to DESTINATION TEXT", and ends after --wait
seconds without one. Exit status 0 when at least one datagram came, 1 otherwise.
"""

import argparse
import select
import socket
import sys

IP_PKTINFO = 8  # Linux


def receive_all(s, wait):
    got = 0
    while True:
        readable, _, _ = select.select([s], [], [], wait)
        if not readable:
            return got
        data, anc, _, (src, sport) = s.recvmsg(65535, 256)
        dst = "?"
        for level, kind, value in anc:
            if level == socket.IPPROTO_IP and kind == IP_PKTINFO:
                dst = socket.inet_ntoa(value[8:12])
        print("from %s:%d to %s %s" % (src, sport, dst, data.decode("latin-1").strip()),
              flush=True)
        got += 1


def address(text):
    host, _, port = text.rpartition(":")
    return host, int(port)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawTextHelpFormatter)
    sub = ap.add_subparsers(dest="what", required=True)
    send = sub.add_parser("send")
    send.add_argument("address")
    send.add_argument("port", type=int)
    send.add_argument("text")
    send.add_argument("--bind", default="0.0.0.0:0")
    send.add_argument("--wait", type=float, default=1.0)
    listen = sub.add_parser("listen")
    listen.add_argument("bind")
    listen.add_argument("--device", help="SO_BINDTODEVICE to this interface")
    listen.add_argument("--wait", type=float, default=3.0)
    listen.add_argument("--ready", help="file created once the socket is bound")
    args = ap.parse_args()

    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
    s.setsockopt(socket.IPPROTO_IP, IP_PKTINFO, 1)
    if args.what == "send":
        s.bind(address(args.bind))
        try:
            s.sendto(args.text.encode(), (args.address, args.port))
        except OSError as e:
            print("send failed: %s" % e, file=sys.stderr)
            return 2
        return 0 if receive_all(s, args.wait) else 1
    if args.device:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_BINDTODEVICE, args.device.encode())
    s.bind(address(args.bind))
    if args.ready:
        open(args.ready, "w").close()
    return 0 if receive_all(s, args.wait) else 1


if __name__ == "__main__":
    sys.exit(main())
