"""A host written with Python ctypes, run as a child process by CTest.

It builds an ICallWrapper (15 slots, COM layout) out of Python callbacks,
hands it to the library with SetIIWrapper and filters a few bets. Python
frees the callbacks before the process exits, so a library that calls into
the host at exit crashes it.

usage: ctypes_host.py LIBRARY exit|reload
  exit    filter and end without unloading: exit status 0 expected
  reload  unload, load again and check that every unload released the
          interface; then end without unloading
"""
import ctypes
import sys

import _ctypes

# 直选:9=12:0-0 in GBK: a bet holding the code 12 scores 9 and fails.
CONDITION = b"\xd6\xb1\xd1\xa1:9=12:0-0"
SLOTS = 15


class Host:
    """One ICallWrapper object: a pointer to a table of 15 function pointers."""

    def __init__(self):
        self.refs = 0
        self.other_calls = 0
        unknown = ctypes.CFUNCTYPE(ctypes.c_uint32, ctypes.c_void_p)
        query = ctypes.CFUNCTYPE(ctypes.c_int32, ctypes.c_void_p, ctypes.c_void_p,
                                 ctypes.POINTER(ctypes.c_void_p))
        other = ctypes.CFUNCTYPE(ctypes.c_int32, ctypes.c_void_p)
        self._callbacks = [query(self._query), unknown(self._add_ref), unknown(self._release)]
        self._callbacks += [other(self._other) for _ in range(SLOTS - 3)]
        self.vtable = (ctypes.c_void_p * SLOTS)(
            *[ctypes.cast(c, ctypes.c_void_p) for c in self._callbacks])
        self.obj = ctypes.c_void_p(ctypes.addressof(self.vtable))

    def _query(self, this, iid, out):
        if out:
            out[0] = None
        return -2147467262  # E_NOINTERFACE

    def _add_ref(self, this):
        self.refs += 1
        return self.refs

    def _release(self, this):
        self.refs -= 1
        return self.refs

    def _other(self, this):
        self.other_calls += 1
        return -2147467263  # E_NOTIMPL


def load(path):
    lib = ctypes.CDLL(path, mode=ctypes.RTLD_LOCAL)
    lib.SetIIWrapper.argtypes = [ctypes.c_void_p]
    lib.SetFilterStr.argtypes = [ctypes.c_char_p]
    lib.SzcPrepare.restype = ctypes.c_bool
    lib.SzcExecute.argtypes = [ctypes.c_char_p]
    lib.SzcExecute.restype = ctypes.c_int32
    return lib


def filter_with(lib, host):
    lib.SetIIWrapper(ctypes.byref(host.obj))
    lib.SetFilterStr(CONDITION)
    assert lib.SzcPrepare(), "the condition did not prepare"
    verdicts = [lib.SzcExecute(b) for b in (b"345", b"120", b"1x2")]
    assert verdicts == [0, 1, -1], verdicts
    assert host.refs == 1, host.refs


def main():
    path, mode = sys.argv[1], sys.argv[2]
    host = Host()
    lib = load(path)
    filter_with(lib, host)
    if mode == "reload":
        for _ in range(2):
            _ctypes.dlclose(lib._handle)
            assert host.refs == 0, "unloading kept %d reference(s)" % host.refs
            lib = load(path)
            filter_with(lib, host)
    assert host.other_calls == 0, host.other_calls
    print("ok", mode)
    # Ends without unloading: the interpreter frees the callbacks, then the
    # process exits.


if __name__ == "__main__":
    main()
