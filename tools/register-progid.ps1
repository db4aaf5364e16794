# Registers the host double's ProgID, MixW2.Application, for a test run on Windows, where this
# process's COM reads it: under HKLM when elevated (COM ignores per-user classes in an elevated
# process while UAC is on), under HKCU otherwise. -Remove takes away only the double's own
# registration, in either place; a real MixW2's is never touched.
#   pwsh tools/register-progid.ps1 [-Remove]
param([switch]$Remove)
$ErrorActionPreference = 'Stop'
$clsid = '{6A1B3C5D-2E4F-4A8B-9C0D-1E2F3A4B5C6D}'
$name = 'Software\Classes\MixW2.Application'

function Registered($root) {
  $path = "Registry::$root\$name\CLSID"
  if (Test-Path $path) { return (Get-Item $path).GetValue('') }
  return $null
}

if ($Remove) {
  foreach ($root in 'HKEY_LOCAL_MACHINE', 'HKEY_CURRENT_USER') {
    if ((Registered $root) -eq $clsid) {
      Remove-Item -Recurse "Registry::$root\$name"
      Write-Output "removed the host double's ProgID from $root"
    }
  }
  exit 0
}

$identity = [Security.Principal.WindowsPrincipal][Security.Principal.WindowsIdentity]::GetCurrent()
$elevated = $identity.IsInRole([Security.Principal.WindowsBuiltInRole]::Administrator)
$root = if ($elevated) { 'HKEY_LOCAL_MACHINE' } else { 'HKEY_CURRENT_USER' }
foreach ($other in 'HKEY_LOCAL_MACHINE', 'HKEY_CURRENT_USER') {
  $found = Registered $other
  if ($found -and $found -ne $clsid) {
    Write-Error "MixW2.Application is registered under $other to $found, a real MixW2's: run the tests in a throwaway account"
  }
}
New-Item -Force -Path "Registry::$root\$name\CLSID" | Out-Null
Set-ItemProperty -Path "Registry::$root\$name\CLSID" -Name '(default)' -Value $clsid
Write-Output "registered the host double's ProgID under $root (elevated: $elevated)"
