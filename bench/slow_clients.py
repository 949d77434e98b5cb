#!/usr/bin/env python3
"""Slow clients for bench/localweb.sh: COUNT connections to 127.0.0.1:PORT,
each sending the start of a request and then one more header byte every
INTERVAL seconds, never finishing it. Prints "ready" once all are connected
and runs until stopped (SIGTERM or SIGINT); then prints how many the server
still held open.

    bench/slow_clients.py PORT [COUNT] [INTERVAL]   defaults: 500 clients, 5 s
"""

import signal
import socket
import sys
import time

START = b"GET /page.htm HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: "


def held_open(client):
    """True when the server has neither answered nor closed the connection."""
    try:
        client.recv(1)
    except BlockingIOError:
        return True
    except OSError:
        return False
    return False


def main():
    port = int(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 500
    interval = float(sys.argv[3]) if len(sys.argv) > 3 else 5.0
    stop = []
    for number in (signal.SIGTERM, signal.SIGINT):
        signal.signal(number, lambda *_: stop.append(True))
    clients = []
    for _ in range(count):
        client = socket.create_connection(("127.0.0.1", port))
        client.sendall(START)
        client.setblocking(False)
        clients.append(client)
    print("ready", flush=True)
    # The bytes go out spread over the interval, not all at one moment.
    step = interval / count
    turn = 0
    while not stop:
        client = clients[turn % count]
        try:
            client.send(b"a")
        except OSError:
            pass
        turn += 1
        time.sleep(step)
    held = sum(held_open(client) for client in clients)
    print(f"held {held} of {count}", flush=True)


if __name__ == "__main__":
    main()
