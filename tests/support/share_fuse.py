#!/usr/bin/python3
"""A folder seen through FUSE as the client of a network share shows it, for the tests.
Inode numbers are the nodes of paths, as sshfs gives them: a file replaced under a name
by another client keeps the name's number, and one share mounted twice shows each file
under two devices. Removing a file that is open fails with EBUSY, as SMB refuses it.
No unnamed files, no exclusive rename. Options:
  --link-eio       a hard link is made, and its answer lost (EIO), as when a server
                   dies after the step
  --kill-writer=S  the first write into a name beginning ".pelquist-" sends signal S
                   (INT, TERM, HUP, ...) to the process that writes

Usage: share_fuse.py FOLDER MOUNTPOINT [OPTION...]  (both absolute; returns once
mounted, and serves until unmounted). Needs python3-fusepy and /dev/fuse, as root.
"""
import collections
import errno
import os
import signal
import sys
import threading

try:
    import fusepy as fuse  # Debian's name for the module
except ImportError:
    import fuse


class Share(fuse.Operations):
    def __init__(self, root, link_eio, kill_writer):
        self.root = root
        self.link_eio = link_eio
        self.kill_writer = kill_writer
        self.lock = threading.Lock()
        self.opened = collections.Counter()  # open files by path, until released

    def _path(self, path):
        return os.path.join(self.root, path.lstrip("/"))

    def __call__(self, op, *args):
        try:
            return super().__call__(op, *args)
        except OSError as error:
            raise fuse.FuseOSError(error.errno)

    def getattr(self, path, fh=None):
        st = os.lstat(self._path(path))
        return {key: getattr(st, key) for key in (
            "st_atime", "st_ctime", "st_mtime", "st_gid", "st_mode", "st_nlink", "st_size",
            "st_uid", "st_blocks")}

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._path(path))

    def readlink(self, path):
        return os.readlink(self._path(path))

    def statfs(self, path):
        st = os.statvfs(self._path(path))
        return {key: getattr(st, key) for key in (
            "f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail", "f_ffree", "f_files",
            "f_flag", "f_frsize", "f_namemax")}

    def _opened(self, path, fd):
        with self.lock:
            self.opened[path] += 1
        return fd

    def open(self, path, flags):
        return self._opened(path, os.open(self._path(path), flags))

    def create(self, path, mode, fi=None):
        fd = os.open(self._path(path), os.O_RDWR | os.O_CREAT | os.O_EXCL, mode)
        return self._opened(path, fd)

    def release(self, path, fh):
        with self.lock:
            self.opened[path] -= 1
        os.close(fh)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def write(self, path, data, offset, fh):
        if self.kill_writer and os.path.basename(path).startswith(".pelquist-"):
            name, self.kill_writer = self.kill_writer, None
            with open("/proc/%d/status" % fuse.fuse_get_context()[2]) as status:
                writer = next(int(line.split()[1]) for line in status if line.startswith("Tgid:"))
            os.kill(writer, getattr(signal, "SIG" + name))
        return os.pwrite(fh, data, offset)

    def truncate(self, path, length, fh=None):
        os.truncate(self._path(path) if fh is None else fh, length)

    def flush(self, path, fh):
        return 0

    def fsync(self, path, datasync, fh):
        os.fsync(fh)

    def fsyncdir(self, path, datasync, fh):
        return 0

    def unlink(self, path):
        with self.lock:
            if self.opened[path] > 0:
                raise fuse.FuseOSError(errno.EBUSY)
            os.unlink(self._path(path))

    def rename(self, old, new):
        with self.lock:
            os.rename(self._path(old), self._path(new))
            self.opened[new] += self.opened.pop(old, 0)

    def link(self, target, source):
        os.link(self._path(source), self._path(target))
        if self.link_eio:
            raise fuse.FuseOSError(errno.EIO)

    def symlink(self, target, source):
        os.symlink(source, self._path(target))

    def mkdir(self, path, mode):
        os.mkdir(self._path(path), mode)

    def rmdir(self, path):
        os.rmdir(self._path(path))

    def chmod(self, path, mode):
        os.chmod(self._path(path), mode)

    def chown(self, path, uid, gid):
        os.lchown(self._path(path), uid, gid)

    def utimens(self, path, times=None):
        os.utime(self._path(path), times=times, follow_symlinks=False)


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    options = sys.argv[3:]
    kill = [option.split("=", 1)[1] for option in options if option.startswith("--kill-writer=")]
    share = Share(sys.argv[1], "--link-eio" in options, kill[0] if kill else None)
    fuse.FUSE(share, sys.argv[2], foreground=False, nothreads=False, hard_remove=True,
              default_permissions=True)


if __name__ == "__main__":
    main()
