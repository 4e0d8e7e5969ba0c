#!/usr/bin/env python3
"""The far end of a serial line for device tests.

serialpeer.py PORT [LINK]

Owns a pseudo-terminal and plays the device on its master side; the program under test opens the
slave as its serial port (LINK, when given, becomes a symbolic link to the slave, for example
$WINEPREFIX/dosdevices/com5, and is put back as it was at the end).  The test drives the peer
over a TCP connection to 127.0.0.1:PORT, one text line per request, one line per answer:

  (on connecting)        -> "slave PATH"
  write HEX              write the bytes to the line                       -> "ok"
  read                   the bytes the program sent since the last read    -> "data HEX"
  reply HEX HEX          once the program has sent the first bytes (counted from now and from
                         the end of the previous reply's match), answer the second; replies wait
                         in order                                          -> "ok"
  line                   the line's settings as the program set them       -> "line BAUD DATABITS"
  hangup WANT            1 while no program holds the slave open, after waiting up to two
                         seconds for the state WANT (0 or 1)               -> "hangup 0|1"
  quit                   ends the peer                                     -> "bye"
"""
import os
import pty
import select
import socket
import sys
import termios
import time

BAUDS = {getattr(termios, 'B%d' % b): b for b in
         (0, 50, 75, 110, 134, 150, 200, 300, 600, 1200, 1800, 2400, 4800, 9600, 19200, 38400, 57600, 115200)}
SIZES = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}


class Peer:
    def __init__(self, master):
        self.master = master
        self.received = bytearray()  # for "read"
        self.pending = bytearray()   # for the waiting replies
        self.replies = []

    def hungup(self):
        events = select.poll()
        events.register(self.master, select.POLLIN)
        return any(ev & select.POLLHUP for _, ev in events.poll(0))

    def drain(self):
        while True:
            ready, _, _ = select.select([self.master], [], [], 0)
            if not ready:
                return
            try:
                data = os.read(self.master, 4096)
            except OSError:
                return
            if not data:
                return
            self.received += data
            self.pending += data
            self.answer()

    def answer(self):
        while self.replies:
            pattern, reply = self.replies[0]
            at = self.pending.find(pattern)
            if at < 0:
                return
            del self.pending[:at + len(pattern)]
            self.replies.pop(0)
            os.write(self.master, reply)

    def line(self):
        attrs = termios.tcgetattr(self.master)
        return BAUDS.get(attrs[5], -1), SIZES.get(attrs[2] & termios.CSIZE, -1)

    def request(self, words):
        if words[0] == 'write':
            os.write(self.master, bytes.fromhex(words[1] if len(words) > 1 else ''))
            return 'ok'
        if words[0] == 'read':
            self.drain()
            data, self.received = bytes(self.received), bytearray()
            return 'data ' + data.hex()
        if words[0] == 'reply':
            self.drain()
            self.replies.append((bytes.fromhex(words[1]), bytes.fromhex(words[2] if len(words) > 2 else '')))
            self.pending = bytearray()
            return 'ok'
        if words[0] == 'line':
            return 'line %d %d' % self.line()
        if words[0] == 'hangup':
            want = len(words) > 1 and words[1] == '1'
            deadline = time.monotonic() + 2.0
            while self.hungup() != want and time.monotonic() < deadline:
                time.sleep(0.005)
            self.drain()
            return 'hangup %d' % self.hungup()
        return 'error'


def main():
    port = int(sys.argv[1])
    link = sys.argv[2] if len(sys.argv) > 2 else None
    master, slave = pty.openpty()
    path = os.ttyname(slave)
    os.close(slave)
    old = None
    if link:
        if os.path.islink(link):
            old = os.readlink(link)
            os.remove(link)
        os.symlink(path, link)
    connection = socket.create_connection(('127.0.0.1', port))
    peer = Peer(master)
    stream = connection.makefile('rwb', buffering=0)
    stream.write(('slave %s\n' % path).encode())
    lines = b''
    try:
        while True:
            watch = [connection] + ([] if peer.hungup() else [master])
            ready, _, _ = select.select(watch, [], [], 0.01)
            if master in ready:
                peer.drain()
            if connection not in ready:
                continue
            chunk = connection.recv(65536)
            if not chunk:
                break
            lines += chunk
            while b'\n' in lines:
                text, lines = lines.split(b'\n', 1)
                words = text.decode().split()
                if not words:
                    continue
                if words[0] == 'quit':
                    stream.write(b'bye\n')
                    return
                stream.write((peer.request(words) + '\n').encode())
    finally:
        if link:
            os.remove(link)
            if old:
                os.symlink(old, link)


if __name__ == '__main__':
    main()
