<?php
// The vendor server's answer to Tarnwick's version question (a POST with no
// body): four lines of plain text, the fourth the newest version, which
// `make dist` writes into version.txt beside this file.
header('Content-Type: text/plain');
$version = @file_get_contents(__DIR__ . '/version.txt');
$version = $version === false ? '' : rtrim($version, "\r\n");
echo "Tarnwick\r\n";
echo "Privacy guard for Internet Explorer\r\n";
echo "Installer: /tarnwick/download/setup.exe\r\n";
echo $version, "\r\n";
