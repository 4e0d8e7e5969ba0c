#!/usr/bin/env python3
"""The glove library's devices at the far end of a serial line.

devicepeer.py PORT [LINK]

The line and the test's requests are serialpeer.py's; on top of them the peer plays devices:
the glove server box (packets: device id, payload length, payload, a zero tail; id 255 is the
box itself) with devices behind it, or one device alone on the line.  Devices: "bird" and
"flock" (Ascension, one-byte commands, 7-bit packed records), "fastrak", "isotrak" and
"isotrak2" (Polhemus, text commands, binary records), "gesture" (the gesture unit).

  server                   the line carries a glove server box           -> "ok"
  device ID KIND           a device: ID is its id behind the box, or "-" for the line itself
                                                                          -> "ok"
  set ID KEY VALUE         a setting of device ID ("box" for the box itself); values are text,
                           numbers as Python reads them, lists separated by commas -> "ok"
  emit ID HEX              device ID sends the bytes (framed by the box when behind it) -> "ok"
  log ID                   the bytes device ID received since the last log -> "data HEX"

Misbehaving on request is a setting: see each device's SETTINGS.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import serialpeer  # noqa: E402


def number(text):
    return int(text, 0)


class Device:
    """A command stream: bytes in, answers out.  step() takes one whole command off the front of
    the stream (0 bytes used: not all of it has come yet)."""
    SETTINGS = {}

    def __init__(self):
        self.stream = bytearray()
        self.received = bytearray()
        for key, (parse, default) in self.SETTINGS.items():
            setattr(self, key, default)

    def set(self, key, value):
        parse, _ = self.SETTINGS[key]
        setattr(self, key, parse(value))

    def feed(self, data):
        self.stream += data
        self.received += data
        out = bytearray()
        while self.stream:
            used, answer = self.step(bytes(self.stream))
            if used == 0:
                break
            del self.stream[:used]
            out += answer
        return bytes(out)

    def step(self, data):
        return 1, b''


def text_until_zero(data, at):
    """The bytes from at to the next zero byte and the index after it, or None when the zero byte
    has not come yet."""
    end = data.find(b'\0', at)
    return (data[at:end], end + 1) if end >= 0 else None


def pieces(content, unterminated=False):
    """A file as the box and the gesture unit send it: pieces of up to 255 bytes, each ended by a
    zero byte; a piece shorter than 256 bytes is the last.  Unterminated: the first piece has 256
    bytes and no zero byte (the rest follows up to a zero byte)."""
    if unterminated:
        return b'x' * 256 + b'rest\0'
    out = b''
    while True:
        piece, content = content[:255], content[255:]
        out += piece + b'\0'
        if len(piece) < 255:
            return out


def words(text):
    return [number(w) for w in text.split(',')] if text else []


def floats(text):
    return [float(w) for w in text.split(',')] if text else []


class Box(Device):
    """The glove server box's own commands: C loads a named configuration (two answer texts), G
    sends a configuration file, P stores one."""
    SETTINGS = {
        'unterminated': (number, 0),  # G sends a first piece without its zero byte
    }

    def __init__(self):
        super().__init__()
        self.configurations = {b'ftdemo': b'glove1 on\nglove2 off\n'}
        self.loaded = b''

    def step(self, data):
        if data[0] in b'CG':
            name = text_until_zero(data, 1)
            if name is None:
                return 0, b''
            return name[1], self.load(name[0]) if data[0:1] == b'C' else self.send(name[0])
        if data[0:1] == b'P':
            name = text_until_zero(data, 1)
            content = name and text_until_zero(data, name[1])
            if not content:
                return 0, b''
            self.configurations[name[0] or self.loaded] = content[0]
            return content[1], b'ok\0'
        return 1, b''

    def load(self, name):
        self.loaded = name
        return b'Loaded ' + name + b'?' + str(len(self.configurations.get(name, b''))).encode() + b'\0ok\0'

    def send(self, name):
        if name not in self.configurations:
            return b'e3-no configuration ' + name + b'\0'
        return pieces(self.configurations[name], self.unterminated) + (b'' if self.unterminated else b'ok\0')


class Server:
    """The box: packets in both directions; its own id is 255."""

    def __init__(self):
        self.stream = bytearray()
        self.devices = {255: Box()}

    def feed(self, data):
        self.stream += data
        out = bytearray()
        while len(self.stream) >= 2 and len(self.stream) >= self.stream[1] + 3:
            n = self.stream[1]
            ident, payload = self.stream[0], bytes(self.stream[2:2 + n])
            del self.stream[:n + 3]
            if ident in self.devices:
                out += self.frame(ident, self.devices[ident].feed(payload))
        return bytes(out)

    @staticmethod
    def frame(ident, data):
        out = b''
        for at in range(0, len(data), 255):
            piece = data[at:at + 255]
            out += bytes([ident, len(piece)]) + piece + b'\0'
        return out


class Gesture(Device):
    """The gesture unit: commands U, X, L, S, P, G, R, T, M, C; every one but R is answered with
    three status bytes ("ok" and a zero byte)."""
    SETTINGS = {
        'error': (bytes.fromhex, b''),     # answer every command with e3- and this text
        'more': (bytes.fromhex, b''),      # and a further text after it
        'unterminated': (number, 0),       # G sends a first piece without its zero byte
    }

    def __init__(self):
        super().__init__()
        self.databases = {}
        self.user = b''

    def answer(self):
        if self.error:
            return b'e3-' + self.error + b'\0' + (self.more + b'\0' if self.more else b'')
        return b'ok\0'

    def step(self, data):
        kind = data[0:1]
        if kind in (b'U', b'X', b'G'):
            name = text_until_zero(data, 1)
            if name is None:
                return 0, b''
            if kind == b'U':
                self.user = name[0]
            if kind == b'G':
                return name[1], pieces(self.databases.get(name[0] or self.user, b''), self.unterminated)
            return name[1], self.answer()
        if kind == b'P':
            name = text_until_zero(data, 1)
            content = name and text_until_zero(data, name[1])
            if not content:
                return 0, b''
            self.databases[name[0] or self.user] = content[0]
            return content[1], self.answer()
        sizes = {b'L': 2, b'R': 2, b'T': 5, b'M': 2, b'C': 2}
        if kind == b'S':
            if len(data) < 2:
                return 0, b''
            size = 2 + (data[1] or 256)
            return (size, self.answer()) if len(data) >= size else (0, b'')
        if kind in sizes:
            if len(data) < sizes[kind]:
                return 0, b''
            return sizes[kind], b'' if kind == b'R' else self.answer()
        return 1, b''


class Bird(Device):
    """An Ascension bird or flock: optional address prefix, one-byte commands with their
    arguments, 'O' examine replies and 'B' records (six 7-bit packed words a bird, the first
    byte's bit 7 set; in group mode the bird's address after each)."""
    SETTINGS = {
        'status': (words, [0x0001]),     # bird status word of each address from 0
        'flock': (words, []),            # flock status bytes of addresses 1 up
        'fbb': (words, [0, 0, 0, 0, 0]),  # FBB configuration reply
        'errorcode': (number, 0),
        'records': (lambda t: [words(r) for r in t.split('/')], []),  # a list of six words a bird
        'nohead': (number, 0),           # records without the head bit
        'config': (words, []),           # what 'O' 7 gives back (default: what 'C' stored)
        'asleep': (number, 0),           # status bit 5 until 'F' runs it
    }
    PARAMETERS = {3: 2, 4: 2, 14: 1, 17: 1, 33: None, 34: 1, 35: 1, 50: 1}

    def __init__(self):
        super().__init__()
        self.address = 0
        self.group = 0
        self.stored = []

    def expanded(self):
        return bool(self.status[0] & 0x400) if self.status else False

    def statusword(self):
        word = self.status[self.address] if self.address < len(self.status) else 0
        return word | (0x20 if self.asleep and self.address == 0 else 0)

    def examine(self, parameter):
        size = 30 if self.expanded() else 14
        replies = {
            0: lambda: struct.pack('<H', self.statusword()),
            10: lambda: bytes([self.errorcode]),
            33: lambda: bytes(self.fbb),
            34: lambda: bytes(size),
            35: lambda: bytes([self.group]),
            36: lambda: bytes((self.flock + [0] * size)[:size]),
            50: lambda: bytes(5),
            7: lambda: bytes(b & 0xFF for b in (self.config or self.stored)),
        }
        return replies.get(parameter, lambda: b'')()

    def change(self, data):
        """A 'P' command: its length, or 0 while incomplete."""
        if len(data) < 2:
            return 0, b''
        count = self.PARAMETERS.get(data[1], 0)
        if count is None:
            count = 7 if self.expanded() else 5
        if len(data) < 2 + count:
            return 0, b''
        if data[1] == 35:
            self.group = data[2]
        return 2 + count, bytes(30 if self.expanded() else 14) if data[1] == 34 else b''

    def sample(self):
        out = b''
        for index, record in enumerate(self.records):
            for i, word in enumerate(record):
                value = (word & 0xFFFF) >> 2
                low = value & 0x7F
                out += bytes([low | (0x80 if i == 0 and not self.nohead else 0), (value >> 7) & 0x7F])
            if self.group:
                out += bytes([index + 1])
        return out

    def step(self, data):
        first = data[0]
        if first >= 0xE0:
            self.address = first - 0xF0 if first >= 0xF0 else first - 0xE0 + 16
            return 1, b''
        used, answer = self.command(data)
        if used:
            self.address = 0
        return used, answer

    def command(self, data):
        kind = chr(data[0])
        if kind == 'O':
            return (2, self.examine(data[1])) if len(data) >= 2 else (0, b'')
        if kind == 'P':
            return self.change(data)
        sizes = {'J': 13, 'H': 13, 'L': 3, '0': 2, 'A': 2, 'C': 37}
        if kind in sizes:
            if len(data) < sizes[kind]:
                return 0, b''
            if kind == 'C':
                self.stored = list(data[1:37])
            return sizes[kind], b''
        if kind in 'FG':
            self.asleep = kind == 'G'
        return 1, self.sample() if kind == 'B' else b''


class Polhemus(Device):
    """A Polhemus Fastrak (model 0), Isotrak (1) or Isotrak II (2): one-letter commands, text
    commands ended by CR, 'S' status (55 bytes), 'P' records: '0', station digit, status
    character, six floats (Fastrak) or six 16-bit words, CR LF."""
    SETTINGS = {
        'records': (lambda t: [floats(r) for r in t.split('/')], []),  # a list of six values a station
        'statuschar': (bytes.fromhex, b' '),
        'head': (bytes.fromhex, b''),    # replaces the first record's head
        'tail': (bytes.fromhex, b'\r\n'),
        'plugged': (lambda t: t.encode(), b'11'),  # Isotrak II: stations 1 and 2 plugged in
    }
    TEXT = 'ABHORbNly'

    def __init__(self, model):
        super().__init__()
        self.model = model
        self.sync = b'0'

    def record(self, station, values):
        head = self.head if (self.head and station == 1) else b'0' + str(station).encode() + self.statuschar
        if self.model == 0:
            body = struct.pack('<6f', *values)
        else:
            body = struct.pack('<6h', *[int(v) for v in values])
        return head + body + self.tail

    def line(self, text):
        if text == b'l':
            return b'21l' + self.plugged + b'\r\n'
        if text[0:1] == b'y' and len(text) > 1:
            self.sync = text[1:2]
            return b'21y' + self.sync + b'\r\n'
        if text == b'y':
            return b'21y' + self.sync + b'\r\n'
        return b''

    def step(self, data):
        kind = chr(data[0])
        if kind in self.TEXT:
            end = data.find(b'\r')
            return (0, b'') if end < 0 else (end + 1, self.line(data[:end]))
        if kind == 'S':
            return 1, (b'21S' + b' ' * 50 + b'\r\n')[:55]
        if kind == 'P':
            return 1, b''.join(self.record(i + 1, r) for i, r in enumerate(self.records) if r)
        return 1, b''


KINDS = {
    'gesture': Gesture,
    'bird': Bird,
    'flock': Bird,
    'fastrak': lambda: Polhemus(0),
    'isotrak': lambda: Polhemus(1),
    'isotrak2': lambda: Polhemus(2),
}


class DevicePeer(serialpeer.Peer):
    def __init__(self, master):
        super().__init__(master)
        self.top = None
        self.devices = {}

    def answer(self):
        if self.top is None:
            return super().answer()
        data, self.pending = bytes(self.pending), bytearray()
        out = self.top.feed(data)
        if out:
            os.write(self.master, out)

    def device(self, ident):
        if ident == 'box':
            return self.top.devices[255]
        return self.devices[ident]

    def request(self, words):
        if words[0] == 'server':
            self.top = Server()
            return 'ok'
        if words[0] == 'device':
            device = KINDS[words[2]]()
            self.devices[words[1]] = device
            if words[1] == '-':
                self.top = device
            else:
                self.top.devices[int(words[1])] = device
            return 'ok'
        if words[0] == 'set':
            self.device(words[1]).set(words[2], words[3] if len(words) > 3 else '')
            return 'ok'
        if words[0] == 'emit':
            data = bytes.fromhex(words[2])
            if words[1] != '-':
                data = Server.frame(int(words[1]), data)
            os.write(self.master, data)
            return 'ok'
        if words[0] == 'log':
            device = self.device(words[1])
            self.drain()
            data, device.received = bytes(device.received), bytearray()
            return 'data ' + data.hex()
        return super().request(words)


if __name__ == '__main__':
    # serialpeer's program, with this peer in place of its plain one.
    serialpeer.Peer = DevicePeer
    serialpeer.main()
