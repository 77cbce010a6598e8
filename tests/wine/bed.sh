#!/usr/bin/env bash
# Prints how Wine's 32-bit side runs on this machine: "native", or "emulated (qemu-user)" when
# a qemu-i386 registration takes 32-bit programs before the kernel's own loader does.
registration=/proc/sys/fs/binfmt_misc/qemu-i386
if [ -f "$registration" ] && head -n 1 "$registration" | grep -qx enabled; then
  echo "emulated (qemu-user)"
else
  echo "native"
fi
