#!/usr/bin/env python3
"""A stand-in appliance host for the network lab: logs every UDP datagram it gets and answers it."""

import argparse
import select
import socket
import struct
import sys

IP_PKTINFO = 8  # Linux; the socket module does not name it


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--name", required=True, help="host name put in every answer")
    ap.add_argument("--log", required=True, help="one line per datagram received")
    ap.add_argument("--ready", help="file created once every socket is bound")
    ap.add_argument("--udp", type=int, action="append", default=[], help="UDP port to serve")
    ap.add_argument("--tcp", type=int, action="append", default=[], help="TCP port to accept on")
    ap.add_argument("--answer", choices=["sender", "broadcast", "none"], default="sender",
                    help="answer to the sender, by broadcast to --answer-port, or not at all")
    ap.add_argument("--answer-port", type=int, default=4302)
    args = ap.parse_args()

    udp = []
    for port in args.udp:
        s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        s.setsockopt(socket.IPPROTO_IP, IP_PKTINFO, 1)
        s.bind(("0.0.0.0", port))
        udp.append(s)
    tcp = []
    for port in args.tcp:
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        s.bind(("0.0.0.0", port))
        s.listen(8)
        tcp.append(s)
    log = open(args.log, "a", buffering=1)
    if args.ready:
        open(args.ready, "w").close()

    while True:
        readable, _, _ = select.select(udp + tcp, [], [])
        for s in readable:
            if s in tcp:
                conn, _ = s.accept()
                conn.close()
                continue
            data, anc, _, (src, sport) = s.recvmsg(65535, 256)
            dst = "?"
            for level, kind, value in anc:
                if level == socket.IPPROTO_IP and kind == IP_PKTINFO:
                    # struct in_pktinfo: ifindex, local address, header destination address
                    dst = socket.inet_ntoa(value[8:12])
            port = s.getsockname()[1]
            log.write("udp %d from %s:%d to %s %d %s\n" % (port, src, sport, dst, len(data),
                                                         data[:32].hex()))
            answer = ("seen %s\n" % args.name).encode()
            if args.answer == "sender":
                s.sendto(answer, (src, sport))
            elif args.answer == "broadcast":
                s.sendto(answer, ("255.255.255.255", args.answer_port))


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit(0)
