#!/usr/bin/env bash
# A one-node Slurm cluster on this machine, for as long as a command runs: munged, slurmctld and
# slurmd as root, each with its own key, socket, spool and a minimal slurm.conf in DIR, so that
# nothing is written under /etc and no running Slurm or munge is touched. SLURM_CONF names the
# configuration for the command. Everything started is stopped when the command ends.
# Usage: one_node_cluster.sh DIR COMMAND [ARG...]
set -euo pipefail
dir=$1
shift
mkdir -p "$dir/munge" "$dir/ctld" "$dir/spool"
chmod 700 "$dir/munge"
node=$(hostname -s)
# Ports of our own, away from Slurm's usual 6817/6818.
port=$((20000 + RANDOM % 20000))

stop() {
  for daemon in slurmd slurmctld munged; do
    if [ -s "$dir/$daemon.pid" ]; then
      kill "$(cat "$dir/$daemon.pid")" 2>/dev/null || true
    fi
  done
  # Wait a moment for them to go, so that the folder can be removed.
  for _ in $(seq 50); do
    alive=0
    for daemon in slurmd slurmctld munged; do
      if [ -s "$dir/$daemon.pid" ] && kill -0 "$(cat "$dir/$daemon.pid")" 2>/dev/null; then
        alive=1
      fi
    done
    [ $alive = 0 ] && break
    sleep 0.1
  done
}
trap stop EXIT

head -c 1024 /dev/urandom >"$dir/munge/munge.key"
chmod 400 "$dir/munge/munge.key"
munged --key-file="$dir/munge/munge.key" --socket="$dir/munge/munge.socket" \
  --pid-file="$dir/munged.pid" --log-file="$dir/munged.log" --seed-file="$dir/munge/seed" \
  --force

: >"$dir/plugstack.conf"
cat >"$dir/slurm.conf" <<CONF
ClusterName=vesselsim
SlurmctldHost=$node(127.0.0.1)
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$dir/munge/munge.socket
SlurmUser=root
SlurmdUser=root
SlurmctldPort=$port
SlurmdPort=$((port + 1))
StateSaveLocation=$dir/ctld
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
PlugStackConfig=$dir/plugstack.conf
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
MpiDefault=none
ReturnToService=2
JobCompType=jobcomp/none
AccountingStorageType=accounting_storage/none
JobAcctGatherType=jobacct_gather/none
MaxJobCount=1000
NodeName=$node NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=local Nodes=$node Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF=$dir/slurm.conf
slurmctld -i
slurmd
# The node takes jobs once the controller has heard from it.
for _ in $(seq 100); do
  if sinfo -h -o %t 2>/dev/null | grep -qx idle; then
    break
  fi
  sleep 0.1
done
"$@"
