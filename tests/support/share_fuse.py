#!/usr/bin/python3
"""FOLDER seen at MOUNTPOINT as a network share's client shows it, for the tests: inode
numbers are its paths' (one share mounted twice shows a file under two devices, a file
replaced on the server keeps the number), an open file cannot be removed (EBUSY, as on
SMB), no unnamed files and no exclusive rename. --link-eio: a hard link is made and its
answer lost (EIO). --kill-writer=SIG: the first write into a ".pelquist-" name sends SIG
to the writer. Usage: share_fuse.py FOLDER MOUNTPOINT [OPTION...] (absolute paths;
returns once mounted). Needs root, /dev/fuse and python3-fusepy."""
import collections
import errno
import os
import signal
import sys
import threading

import fusepy as fuse


class Share(fuse.Operations):
    def __init__(self, root, options):
        self.root, self.options = root, options
        self.lock, self.opened = threading.Lock(), collections.Counter()

    def real(self, path):
        return os.path.join(self.root, path.lstrip("/"))

    def getattr(self, path, fh=None):
        st = os.lstat(self.real(path))
        return {key: getattr(st, key) for key in ("st_mode", "st_nlink", "st_size", "st_uid",
                                                  "st_gid", "st_atime", "st_mtime", "st_ctime")}

    def open(self, path, flags, mode=0):
        fd = os.open(self.real(path), flags, mode)
        with self.lock:
            self.opened[path] += 1
        return fd

    def create(self, path, mode, fi=None):
        return self.open(path, os.O_RDWR | os.O_CREAT | os.O_EXCL, mode)

    def release(self, path, fh):
        with self.lock:
            self.opened[path] -= 1
        os.close(fh)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def write(self, path, data, offset, fh):
        kill = [option[14:] for option in self.options if option.startswith("--kill-writer=")]
        if kill and os.path.basename(path).startswith(".pelquist-"):
            self.options = []
            with open("/proc/%d/status" % fuse.fuse_get_context()[2]) as status:
                writer = next(int(line[5:]) for line in status if line.startswith("Tgid:"))
            os.kill(writer, getattr(signal, "SIG" + kill[0]))
        return os.pwrite(fh, data, offset)

    def unlink(self, path):
        with self.lock:
            if self.opened[path] > 0:
                raise fuse.FuseOSError(errno.EBUSY)
            os.unlink(self.real(path))

    def rename(self, old, new):
        with self.lock:
            os.rename(self.real(old), self.real(new))
            self.opened[new] += self.opened.pop(old, 0)

    def link(self, target, source):
        os.link(self.real(source), self.real(target))
        if "--link-eio" in self.options:
            raise fuse.FuseOSError(errno.EIO)

    def utimens(self, path, times=None):
        os.utime(self.real(path), times=times, follow_symlinks=False)


if __name__ == "__main__":
    fuse.FUSE(Share(sys.argv[1], sys.argv[3:]), sys.argv[2], foreground=False,
              nothreads=False, hard_remove=True, default_permissions=True)
