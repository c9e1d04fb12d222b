#!/usr/bin/python3
"""The network between two coin nodes on this machine: a TCP relay on loopback.

Usage: netlink.py PORT_FILE TARGET_PORT [BYTES_PER_SECOND]

Listens on a free port of 127.0.0.1 and writes it to PORT_FILE once it accepts; every
connection is relayed to 127.0.0.1:TARGET_PORT, each direction at most BYTES_PER_SECOND
(0 or none: as fast as it goes). A node told to connect to the relay's port reaches the
other node only through it, so the relay is the cable between them:

  SIGUSR1  cuts the cable: every relayed connection is closed and the port refuses new ones
  SIGUSR2  plugs it in again on the same port
  SIGTERM  ends the relay
"""
import asyncio
import os
import signal
import sys


class Link:
    def __init__(self, target_port, rate):
        self.target_port = target_port
        self.rate = rate
        self.port = 0
        self.server = None
        self.pipes = set()

    async def relay(self, reader, writer):
        chunk = max(1, self.rate // 20) if self.rate else 1 << 16
        try:
            while True:
                data = await reader.read(chunk)
                if not data:
                    break
                writer.write(data)
                await writer.drain()
                if self.rate:
                    await asyncio.sleep(len(data) / self.rate)
        except (OSError, asyncio.CancelledError):
            pass
        finally:
            writer.close()

    async def serve(self, client_reader, client_writer):
        try:
            node_reader, node_writer = await asyncio.open_connection("127.0.0.1", self.target_port)
        except OSError:
            client_writer.close()
            return
        pipes = {asyncio.ensure_future(self.relay(client_reader, node_writer)),
                 asyncio.ensure_future(self.relay(node_reader, client_writer))}
        self.pipes |= pipes
        await asyncio.wait(pipes, return_when=asyncio.FIRST_COMPLETED)
        for pipe in pipes:
            pipe.cancel()
        self.pipes -= pipes

    async def plug(self):
        if self.server is None:
            self.server = await asyncio.start_server(self.serve, "127.0.0.1", self.port, reuse_address=True)
            self.port = self.server.sockets[0].getsockname()[1]

    def cut(self):
        if self.server is not None:
            self.server.close()
            self.server = None
        for pipe in list(self.pipes):
            pipe.cancel()


async def main():
    port_file, target_port = sys.argv[1], int(sys.argv[2])
    rate = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    link = Link(target_port, rate)
    await link.plug()
    with open(port_file + ".part", "w") as f:
        f.write("%d\n" % link.port)
    os.rename(port_file + ".part", port_file)
    loop = asyncio.get_running_loop()
    done = loop.create_future()
    loop.add_signal_handler(signal.SIGUSR1, link.cut)
    loop.add_signal_handler(signal.SIGUSR2, lambda: asyncio.ensure_future(link.plug()))
    loop.add_signal_handler(signal.SIGTERM, lambda: done.done() or done.set_result(None))
    await done
    link.cut()


if __name__ == "__main__":
    asyncio.run(main())
