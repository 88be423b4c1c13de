#!/usr/bin/env bash
# nginx_test.sh SAMPLE: the sample nginx configuration for the share server
# passes `nginx -t`, run as any user: with a throw-away self-signed
# certificate in place of the club's, high ports in place of 80 and 443 (the
# test binds them), inside an nginx.conf whose paths all lie in a temporary
# prefix. It sends the live-share paths to the port that the systemd unit
# gives the server.
set -euo pipefail
sample=$1
fail() { echo "nginx_test: $*" >&2; exit 1; }
# nginx lives in /usr/sbin, which a normal user's PATH leaves out.
PATH=$PATH:/usr/sbin:/sbin
command -v nginx >/dev/null || fail "nginx is missing: run scripts/setup"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 -subj /CN=share.example.org \
  -keyout "$prefix/key.pem" -out "$prefix/cert.pem" 2>/dev/null || fail "openssl made no certificate"
http=$((20000 + RANDOM % 20000))
https=$((http + 1))
# Where the machine has no IPv6, the IPv6 lines cannot be bound.
ipv6=cat
[ -s /proc/net/if_inet6 ] || ipv6="grep -v listen.\[::\]"
sed -e "s#/etc/letsencrypt/live/share.example.org/fullchain.pem#$prefix/cert.pem#" \
    -e "s#/etc/letsencrypt/live/share.example.org/privkey.pem#$prefix/key.pem#" \
    -e "s#^\( *listen \(\[::\]:\)\{0,1\}\)80;#\1$http;#" \
    -e "s#^\( *listen \(\[::\]:\)\{0,1\}\)443 ssl;#\1$https ssl;#" "$sample" | $ipv6 >"$prefix/site.conf"
[ "$(grep -c "listen .*$http;" "$prefix/site.conf")" -ge 1 ] || fail "the sample does not listen on port 80"
[ "$(grep -c "listen .*$https ssl;" "$prefix/site.conf")" -ge 1 ] || fail "the sample does not listen on port 443 with TLS"
grep -q "ssl_certificate $prefix/cert.pem;" "$prefix/site.conf" || fail "the sample names no certificate where expected"
grep -q "ssl_certificate_key $prefix/key.pem;" "$prefix/site.conf" || fail "the sample names no key where expected"
grep -qE '^\s*proxy_pass http://127\.0\.0\.1:8080;' "$prefix/site.conf" || fail "the sample does not pass to 127.0.0.1:8080"

cat >"$prefix/nginx.conf" <<CONF
pid $prefix/nginx.pid;
error_log $prefix/error.log;
events {}
http {
    access_log $prefix/access.log;
    client_body_temp_path $prefix/body;
    proxy_temp_path $prefix/proxy;
    fastcgi_temp_path $prefix/fastcgi;
    uwsgi_temp_path $prefix/uwsgi;
    scgi_temp_path $prefix/scgi;
    include $prefix/site.conf;
}
CONF
out=$(nginx -t -p "$prefix/" -c "$prefix/nginx.conf" -e "$prefix/error.log" 2>&1) || fail "nginx -t failed: $out"
echo "nginx_test: $out" | tr '\n' ' '
echo
