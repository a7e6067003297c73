# Sourced by the scripts that start private servers.
# random_port N prints the first of N free-looking ports in a row, taken outside the kernel's range
# for the local ends of outgoing connections (net.ipv4.ip_local_port_range): a port in that range may
# be taken by any client's connection at any moment, and a server then fails to listen there although
# nothing listens.
random_port() {
  local count=${1:-1} low=32768 high=60999 range
  if range=$(cat /proc/sys/net/ipv4/ip_local_port_range 2>/dev/null); then
    read -r low high <<<"$range"
  fi
  if [ "$low" -gt $((10000 + 1000 + count)) ]; then
    echo $((10000 + (RANDOM * 7 + $$) % (low - 10000 - count)))
  else
    echo $((high + 1 + (RANDOM * 7 + $$) % (65535 - high - count)))
  fi
}
